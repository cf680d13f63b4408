#ifndef SWAPFILE_H
#define SWAPFILE_H

#include "plotdata.h"
#include "plotrange.h"
#include "reportdata.h"
#include "swapfileheader.h"

#include <QFile>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QtEndian>

#include <functional>
#include <limits>

#include <sys/types.h>

class DeviceControl;
class ProgressDialog;
class SwapFileProgress;

// One capture file. Little-endian throughout: a 512-byte header block (the
// 76-byte SwapFileHeader, zeros, the creation time in ms at offset 504),
// fixed-size records of a time and one double per active channel, and a
// 120-byte ReportData tail written when the capture ends. docs/capture-file.md
// describes the layout for users.
//
// The file code shows nothing itself: the readers that take a ProgressDialog
// and those that show the busy cursor (swapfiledialog.cpp) wrap the
// window-free ones, which report through SwapFileProgress.
//
// The main window calls everything in the GUI thread; append() and
// appendPower() may also run on another thread and hold `mutex` for their
// whole run. Failures return false (or a documented fallback) and emit
// swapFileError() with one of the Error codes.
class SwapFile : public QObject
{
  Q_OBJECT

public:
  enum Error {
    NoError = 0,
    WrongVersion = 1,  // version outside 1..4
    OpenFailed = 2,    // the file cannot be opened
    CreateFailed = 3,  // the output file cannot be created
    SaveFailed = 4,    // the file cannot be moved to its new name
    RemoveFailed = 5,  // the file cannot be removed
    WriteFailed = 6,   // writing to the file failed
    ReadFailed = 7,    // the file cannot be read
    WrongLength = 8,   // a read window that is not a number or has a negative span
    MapFailed = 9,     // the file cannot be mapped into memory
    WrongChannels = 11, // channel count, list or column that do not fit
    Damaged = 12       // the file is cut short or its header is not a capture header
  };
  Q_ENUM(Error)

  static constexpr qint64 headerBlockSize = 512;
  static constexpr qint64 creationTimeOffset = 504;
  // Readers take the records in blocks of whole records of about this size.
  static constexpr qint64 readBlockBytes = qint64(256) << 10;
  // getAverage() of a window without data.
  static constexpr double noData = std::numeric_limits<double>::max();

  explicit SwapFile(QObject *parent = nullptr);
  // Takes the header (and its channel list) without touching any file.
  explicit SwapFile(const SwapFileHeader &header, QObject *parent = nullptr);
  ~SwapFile() override;

  // --- writing ---
  // Creates or truncates the file and writes the header block.
  bool create(const QString &path);
  // Stores the header and stamps it and the creation time into the file made
  // by create(). False (and an error) when the header does not describe
  // readable records or the file cannot be written; appends are then refused.
  bool setHeader(const SwapFileHeader &header);
  // Logger header from a start command: its channel mask and divider.
  bool setHeader(const DeviceControl &command);
  bool setLoggerHeader(quint16 channelMask, quint16 divider);
  // Power-supply header: count, channel mask (32-bit in Power V2 mode), custom
  // rate flag, divider, Fahrenheit flag.
  bool setHeader(signed char count, unsigned int mask, bool custom, short divider, bool fahrenheit);
  // Appends one record per sample instant, the time taken from the first
  // active channel; `maps` is indexed by channel number (by position in
  // activeChannels for appendPower; append() hands over to appendPower in
  // either power mode). With `deleteMaps` the maps are freed, but only after
  // a successful write: on failure nothing is written, the maps stay with the
  // caller and the error is emitted. `from` and `to` are not used.
  bool append(double from, double to, const QList<PlotDataMap *> &maps, bool deleteMaps);
  bool appendPower(double from, double to, const QList<PlotDataMap *> &maps, bool deleteMaps);
  // Appends the 120-byte statistics tail.
  bool writeReport(const ReportData &report);
  // Ends writing: `duration` becomes the time of the last record.
  bool stop();
  void close();
  // Saves a finished capture under `path` (closing it first), as mv moves
  // it: on the disk and under that name before any name of it goes; `file`
  // then names `path`. An existing file there is replaced only with
  // `replace`, in one step, and its mode is kept; a link there stays a
  // link, and the file its chain of links ends at is replaced. A capture
  // opened through a link leaves the file it names as it was; saved under
  // the link's own name, the link stays as it is. From another file system
  // the capture is copied while its name still holds it, and a progress
  // window shows the copy, whose Close button stops it. On failure
  // (SaveFailed, `why` telling why) the working file and any file of that
  // name are as they were. A save that stands may still set `why`: the
  // disk did not confirm the new name, or the capture is also still under
  // another name, or a name that no longer led to it was left alone.
  bool moveTo(const QString &path, bool replace, QString *why = nullptr);
  // moveTo() without replacing.
  bool rename(const QString &path);
  bool save(const QString &path);
  // Saves a capture whose file lacks its end: the file's header and whole
  // records, then one record per sample instant of `maps` (indexed as for
  // append()), then `report` as the tail, all written beside `path` and
  // read back before it takes that name, as moveTo() does.
  bool saveFinished(const QString &path, const QList<PlotDataMap *> &maps, const ReportData &report, bool replace,
                    QString *why = nullptr);
  // The same saves without any window: a copy's progress and its stop go
  // through `progress` (may be null).
  bool placeCapture(const QString &path, bool replace, QString *why, SwapFileProgress *progress);
  bool placeFinished(const QString &path, const QList<PlotDataMap *> &maps, const ReportData &report, bool replace,
                     QString *why, SwapFileProgress *progress);
  bool remove();
  // Opens an existing capture for appending; false when it cannot be opened
  // or its header is not valid.
  bool open(const QString &path);

  // --- reading ---
  // Asks a running read to stop at its next check.
  void terminate();
  // Reads and checks the header of the open file; rebuilds activeChannels
  // and thresholds.
  bool readHeader();
  // The header of the file at `path`, unchecked; mode 255 when the file is
  // missing or shorter than the header block.
  static SwapFileHeader readHeader(const QString &path);
  // NoError when `header` describes a readable file of `fileSize` bytes,
  // otherwise the error code that names the fault.
  static int checkHeader(const SwapFileHeader &header, qint64 fileSize);
  // Opens a saved capture: loads the `seconds` from firstTime on into the
  // maps (by channel number) and, for a logger file, builds the navigation
  // series.
  // Shows its own cancellable progress window; `dialog` is not used. A power
  // supply's file sets the matching Helpers flag and loads as readPower().
  // Every reader skips a record whose time is not finite or lies before the
  // record taken before it: it has no place on the time line.
  bool read(const QString &path, int seconds, const QList<PlotDataMap *> &maps, ProgressDialog *dialog = nullptr);
  bool readPower(const QString &path, int seconds, const QList<PlotDataMap *> &maps, ProgressDialog *dialog = nullptr);
  bool readPowerV2(const QString &path, int seconds, const QList<PlotDataMap *> &maps,
                   ProgressDialog *dialog = nullptr);
  // Loads the records of the window of `span` seconds centred on `centre`,
  // clamped to [0, duration], into the maps (by channel number; by position
  // in either power mode or through readRangePower). Records are found by
  // their own times, so lost packets do not shift the window. Shows the busy
  // cursor.
  bool readRange(double centre, double span, const QList<PlotDataMap *> &maps);
  bool readRangePower(double centre, double span, const QList<PlotDataMap *> &maps);
  // Mean of the channel's values over the window, or noData. Shows the busy cursor.
  double getAverage(const PlotRange &window, int channel);
  // The statistics tail; recovered from the records when the capture has no
  // valid one. The empty record when the file cannot be read.
  ReportData readReport();
  // Navigation scan: a step series, 0 where the value in `column` stays below
  // the threshold (× 1000 for channel #0, whose values are µA), the threshold
  // where it reaches it. `channel` must be the active channel at `column`.
  bool readFiltered(const QString &path, int channel, int column, double threshold, ProgressDialog *dialog);
  // Scan of this file's first active channel with that channel's threshold.
  bool readFiltered(ProgressDialog *dialog);

  // The same reads without any window: progress and cancel go through
  // `progress` (may be null). loadCapture() is read() (a power supply's file
  // goes on to loadPowerCapture()), scan() is readFiltered().
  bool loadCapture(const QString &path, int seconds, const QList<PlotDataMap *> &maps, SwapFileProgress *progress);
  bool loadPowerCapture(const QString &path, int seconds, const QList<PlotDataMap *> &maps,
                        SwapFileProgress *progress);
  bool scan(const QString &path, int channel, int column, double threshold, SwapFileProgress *progress);

  // The user's text for an error code.
  static QString errorMessage(int code);
  // Navigation thresholds from the settings (#0 in mA, #1 and #2 in mV);
  // left unchanged unless the stored text has exactly three parts.
  static void loadThresholds(double thresholds[3]);

  // How the file last read divided up: `recovered` when it did not end with
  // a valid statistics tail, the capture then being taken from its records
  // (`records` of them count) and `droppedBytes` left out: a record cut
  // short, a damaged tail, or whatever followed the capture's own tail.
  struct Recovery
  {
    bool recovered = false;
    qint64 records = 0;
    qint64 droppedBytes = 0;
  };
  Recovery recovery;

  SwapFileHeader header;
  QFile file;
  double duration = 0;      // time of the last record (s)
  // Where the records begin (s): the first record's time, later than 0 when
  // the first samples were lost on the way; 0 when it lies at or before 0,
  // and until a read has found it. The first window and paging start here.
  double firstTime = 0;
  qint64 creationTime = 0;  // ms since the epoch
  QList<int> activeChannels;
  QMutex mutex;

  // Threads of the navigation scan; 0 picks them, a few for a capture of at
  // least parallelScanRecords records and one otherwise.
  static int scanThreads;
  static constexpr qint64 parallelScanRecords = qint64(1) << 20;
  // The navigation series keeps at most about two points per bin.
  static constexpr int navigationBins = 4096;
  // Runs stay apart by more than the 0.1 ms their step points take.
  static constexpr double minimumBinWidth = 0.0002;
  PlotDataMap *navigationSeries; // owned
  PlotRange navigationRange;
  PlotRange navigationSpan;
  double thresholds[3] = {25, 1000, 3200};
  int navigationChannel = 0;
  int navigationColumn = 0;

  bool cancelRequested = false;
  bool terminated = false;

signals:
  void swapFileError(int code);
  void progress(int percent); // not emitted: the readers drive their ProgressDialog

private:
  struct Layout
  {
    qint64 fileSize = 0;
    qint64 recordLength = 0;
    qint64 records = 0;  // record slots the readers visit
    bool tail = false;   // a statistics tail follows them
    ReportData report;   // that tail, or the statistics recovered from the records
    double duration = 0; // time of the last record with a finite time
    Recovery recovery;
  };
  // The layout recovered for a capture without its tail, kept while the file
  // stays the same: recovery walks every record.
  struct Recovered
  {
    QString path;
    quint64 device = 0, inode = 0;
    qint64 size = -1, modified = 0;
    Layout layout;
  };
  enum WalkResult { WalkDone, WalkStopped, WalkFailed };

  // swapfile.cpp: header, layout and the record search
  bool openCapture(const QString &path, Error openError, Layout &layout, SwapFileProgress *progress = nullptr);
  bool loadLayout(Layout &layout, SwapFileProgress *progress);
  // Sets firstTime from the first record with a finite time.
  bool findStart(const Layout &layout);
  // Whether `r` is the tail of `records` record slots, the last finite time
  // among them `lastTime` (none: `anyRecord` false).
  bool judgeTail(const ReportData &r, qint64 records, bool anyRecord, double lastTime) const;
  // `tailStart`: the first record where a damaged tail sits, or -1.
  bool recover(Layout &layout, SwapFileProgress *progress, qint64 tailStart);
  bool readAt(qint64 offset, uchar *buffer, qint64 length);
  bool recordTime(const Layout &layout, qint64 index, double *time);
  qint64 findFinite(const Layout &layout, qint64 from, qint64 to, bool backwards, double *time, bool *ok);
  qint64 findRecord(const Layout &layout, double time, bool after, bool *ok);
  double maxGap() const;
  bool window(double centre, double span, double *start, double *end);
  bool findWindow(const Layout &layout, double start, double end, qint64 *first, qint64 *count);
  template <typename Visit> WalkResult walk(const Layout &layout, qint64 first, qint64 count, Visit &&visit);
  // `lookahead`: bytes after each block that are read with it (as far as
  // the file goes), for a visit that looks past the block's records.
  template <typename VisitBlock>
  WalkResult walkBlocks(const Layout &layout, qint64 first, qint64 count, VisitBlock &&visitBlock,
                        qint64 lookahead = 0);
  bool pollCancel(SwapFileProgress *progress, qint64 done, qint64 total);
  double thresholdOf(int channel) const;

  // swapfilescan.cpp: the navigation scan of a capture already open
  bool scanLayout(const Layout &layout, int channel, int column, double threshold, SwapFileProgress *progress);

  // swapfilewrite.cpp
  bool openForAppend();
  bool writeRecords(const QList<PlotDataMap *> &maps, bool deleteMaps, bool byPosition);
  int encodeRecords(QIODevice *out, const QList<PlotDataMap *> &maps, bool byPosition, qint64 *records) const;

  // swapfileplace.cpp: saving under a new name
  struct Placing;
  class SummingWriter;
  QString copyBlocks(QFileDevice *in, qint64 length, SummingWriter *out, SwapFileProgress *progress);
  QString writeFinished(QFileDevice *in, qint64 keep, SummingWriter *out, const QList<PlotDataMap *> &maps,
                        const ReportData &report, SwapFileProgress *progress);
  QString readsBack(const QString &name, const SummingWriter &written, SwapFileProgress *progress);
  QString sealTemporary(QFile *out, const QString &name, const SummingWriter &written, SwapFileProgress *progress);
  bool beginSave(const QString &path, bool replace, Placing *placing, QFile *in, mode_t *own, QString *why);
  bool placeNewFile(Placing &p, mode_t own, const std::function<QString(SummingWriter *)> &write, QString *why);
  bool copyInto(Placing &p, QFile *in, mode_t own, QString *why);
  void moveAsideForCopy(Placing &p);
  bool restoreWorking(Placing &p);
  bool finishSave(Placing &p, QString *why);
  void tellSaved(const Placing &p, QString *why) const;
  bool putBack(const Placing &p, const QString &from, const QString &error, QString *why);
  bool failSave(const QString &path, const QString &text, QString *why);

  // swapfileread.cpp
  bool loadFirstSeconds(const Layout &layout, double seconds, const QList<PlotDataMap *> &maps, bool byPosition,
                        SwapFileProgress *progress);
  bool loadPoints(const Layout &layout, qint64 first, qint64 count, const QList<PlotDataMap *> &maps, bool byPosition,
                  SwapFileProgress *progress);
  bool loadWindow(double centre, double span, const QList<PlotDataMap *> &maps, bool byPosition);
  double average(const PlotRange &window, int channel);
  ReportData report();

  // One read or save. Its cancel is its own: a read run from the events a
  // save's copy lets run starts without the save's cancel and gives it back
  // when it ends.
  class Operation
  {
  public:
    explicit Operation(SwapFile *file);
    ~Operation();
    Operation(const Operation &) = delete;
    Operation &operator=(const Operation &) = delete;

  private:
    SwapFile *m_file;
    bool m_outerCancel;
  };
  int m_operations = 0;

  bool m_writable = false; // a valid header is in the file and no tail yet
  Recovered m_recovered;
};

#endif // SWAPFILE_H
