#ifndef DOWNLOADER_H
#define DOWNLOADER_H

#include <QByteArray>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

class QNetworkReply;

Q_DECLARE_LOGGING_CATEGORY(DOWNLOADER)

// One HTTPS GET at a time for the update machinery. In info mode it fetches
// the update server's version-info XML and keeps its INFO, VERSION and LINK;
// in file mode it fetches the file behind the stored link. Every request
// ends in exactly one downloadInfoComplete or downloadFileComplete, with
// error() empty only on success. The server is not trusted: replies are
// bounded in size and time and links must be https.
class Downloader : public QObject
{
  Q_OBJECT
public:
  enum State { Busy = 1, Idle = 2 };

  // Size bounds of a reply, by Content-Length and while receiving.
  static constexpr qint64 MaxInfoSize = 64 * 1024;
  static constexpr qint64 MaxFirmwareSize = 4 * 1024 * 1024;
  // The INFO text is shown to the user; longer notes are cut.
  static constexpr int MaxInfoLength = 4000;
  static constexpr int FirstByteTimeoutMs = 30000;
  static constexpr int StallTimeoutMs = 30000;
  static constexpr int InfoTotalTimeoutMs = 60000;
  static constexpr int FileTotalTimeoutMs = 600000;
  static constexpr int MaxRedirects = 5;

  explicit Downloader(QObject *parent = nullptr);
  ~Downloader() override;

  // 0 when started; 1 when dropped because a request is in flight.
  int startDownloadInfo(const QUrl &url);
  // Downloads the stored link. 0 when started (a refused link completes
  // with an error), 1 when dropped because a request is in flight.
  int startDownloadFw();
  // Abandons the request in flight: it completes with an error and its
  // body is dropped.
  void cancel();

  int state() const { return m_state; }
  bool hasDownloadLink() const { return !m_link.isEmpty(); }
  QString downloadLink() const { return m_link; }
  QString version() const { return m_version; }
  QString info() const { return m_info; }
  QString error() const { return m_error; }
  QByteArray file() const { return m_file; }

  // True for an absolute https URL with a host and nothing else that a
  // network stack might read as local (user info, file name tricks).
  static bool isSafeLink(const QUrl &url);
  static bool isHTML(const QByteArray &bytes);

  // Test seams: plain http to 127.0.0.1 (the tests' own server), and
  // smaller bounds so that limits are reached quickly.
  static void setLoopbackHttpAllowed(bool allowed);
  void setLimits(qint64 maxInfoSize, qint64 maxFileSize);
  void setTimeouts(int firstByteMs, int stallMs, int totalMs);

public slots:
  void reset();
  void fileDownloaded(QNetworkReply *reply);
  void timeout();
  void progressTmr(qint64 dowload, qint64 total);

signals:
  void downloadInfoComplete();
  void downloadFileComplete();
  void progress(qint64 dowload, qint64 total);

private:
  void start(const QUrl &url, bool infoMode);
  void receive();
  void abortWith(const QString &text);
  void finish();
  bool parse(const QByteArray &bytes);

  int m_state = Idle;
  QNetworkAccessManager m_manager;
  QByteArray m_file;
  // The one reply in flight; a reply that is not this one is stale and
  // completes nothing.
  QNetworkReply *m_reply = nullptr;
  QString m_link;
  QString m_info;
  QString m_version;
  QString m_error;
  bool m_infoMode = false;
  // Why the reply in flight was aborted; the abort's own text says less.
  QString m_abortReason;
  // A request refused before it reached the network completes through the
  // event loop like any other.
  bool m_refused = false;
  QTimer m_timer;      // first byte, then stall
  QTimer m_totalTimer; // the whole request
  qint64 m_maxInfoSize = MaxInfoSize;
  qint64 m_maxFileSize = MaxFirmwareSize;
  int m_firstByteMs = FirstByteTimeoutMs;
  int m_stallMs = StallTimeoutMs;
  int m_totalMs = -1; // -1: by mode
};

#endif // DOWNLOADER_H
