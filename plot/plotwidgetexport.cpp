// Rendering the plot at any size onto a pixmap, a caller's painter, raster
// files and a one-page PDF.
#include "plotwidget.h"

#include <QBuffer>
#include <QDebug>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QScreen>
#include <climits>
#include <cmath>

namespace {
// Writes the whole file or nothing: a full disk or a file-size limit must
// not leave a truncated picture behind, nor replace an earlier one.
bool writeWholeFile(const QString &fileName, const QByteArray &bytes, const char *signature)
{
  QSaveFile file(fileName);
  // Unbuffered: a buffered device reports a short write (file-size limit,
  // full disk) as success and commits the truncated file.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    qDebug() << signature << "Couldn't open file for writing:" << fileName << file.errorString();
    return false;
  }
  qint64 written = 0;
  while (written < bytes.size()) {
    const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
    if (n <= 0)
      break;
    written += n;
  }
  if (written != bytes.size() || file.size() != bytes.size()) {
    qDebug() << signature << "Couldn't write file:" << fileName << file.errorString();
    file.cancelWriting();
    return false;
  }
  if (!file.commit()) {
    qDebug() << signature << "Couldn't write file:" << fileName << file.errorString();
    return false;
  }
  return true;
}

bool isUnitScale(double scale)
{
  return std::fabs(scale - 1.0) * 1e12 <= std::min(std::fabs(scale), 1.0);
}
} // namespace

void PlotWidget::layOutViewport()
{
  if (!mPlotLayout)
    return;
  mPlotLayout->update(PlotLayoutElement::upPreparation);
  mPlotLayout->update(PlotLayoutElement::upMargins);
  mPlotLayout->update(PlotLayoutElement::upLayout);
}

void PlotWidget::restoreViewportAfterExport(const QRect &viewport)
{
  setViewport(viewport);
  // The layout and the hit boxes that axes and titles keep from their last
  // draw still describe the export; draw the screen picture again so that
  // coordToPixel, axisAt and the hit tests answer for the widget.
  if (!mReplotting && !mPaintBuffer.isNull())
    replot(rpLater);
  else
    layOutViewport();
}

bool PlotWidget::resolveExportSize(int &width, int &height, const char *signature) const
{
  if (width < 0 || height < 0) {
    qDebug() << signature << "negative size:" << width << height;
    return false;
  }
  if (width == 0 || height == 0) {
    width = this->width();
    height = this->height();
  }
  return true;
}

QPixmap PlotWidget::toPixmap(int width, int height, double scale)
{
  const char *const signature = Q_FUNC_INFO;
  if (!resolveExportSize(width, height, signature))
    return QPixmap();
  if (!(std::isfinite(scale) && scale > 0)) {
    qDebug() << signature << "scale must be finite and positive:" << scale;
    return QPixmap();
  }
  const double scaledWidth = std::round(scale * width);
  const double scaledHeight = std::round(scale * height);
  // Beyond 2 GiB of pixels the raster engine cannot be relied on; refuse
  // before anything is allocated.
  if (scaledWidth > INT_MAX || scaledHeight > INT_MAX || scaledWidth * scaledHeight * 4 > double(INT_MAX)) {
    qDebug() << signature << "Couldn't allocate pixmap of" << scaledWidth << "x" << scaledHeight;
    return QPixmap();
  }
  QPixmap result(static_cast<int>(scaledWidth), static_cast<int>(scaledHeight));
  if (result.isNull()) {
    qDebug() << signature << "Couldn't allocate pixmap of" << scaledWidth << "x" << scaledHeight;
    return QPixmap();
  }
  result.fill(mBackgroundBrush.style() == Qt::SolidPattern ? mBackgroundBrush.color() : QColor(Qt::transparent));
  PlotPainter painter;
  painter.begin(&result);
  if (!painter.isActive()) {
    qDebug() << signature << "Couldn't activate painter on pixmap";
    return QPixmap();
  }
  const QRect oldViewport = mViewport;
  setViewport(QRect(0, 0, width, height));
  painter.setMode(PlotPainter::pmNoCaching);
  if (!isUnitScale(scale)) {
    // Above 1 zero-width pens scale with the picture; below 1 they stay one
    // device pixel, so thin lines do not vanish.
    if (scale > 1.0)
      painter.setMode(PlotPainter::pmNonCosmetic);
    painter.scale(scale, scale);
  }
  if (mBackgroundBrush.style() != Qt::NoBrush && mBackgroundBrush.style() != Qt::SolidPattern)
    painter.fillRect(mViewport, mBackgroundBrush);
  draw(&painter);
  painter.end();
  restoreViewportAfterExport(oldViewport);
  return result;
}

void PlotWidget::toPainter(PlotPainter *painter, int width, int height)
{
  const char *const signature = Q_FUNC_INFO;
  if (!painter || !painter->isActive()) {
    qDebug() << signature << "Passed painter is not active";
    return;
  }
  if (!resolveExportSize(width, height, signature))
    return;
  const QRect oldViewport = mViewport;
  setViewport(QRect(0, 0, width, height));
  painter->setMode(PlotPainter::pmNoCaching);
  // No pixmap was pre-filled: solid brushes are painted too.
  if (mBackgroundBrush.style() != Qt::NoBrush)
    painter->fillRect(mViewport, mBackgroundBrush);
  draw(painter);
  restoreViewportAfterExport(oldViewport);
}

bool PlotWidget::saveRastered(const QString &fileName, int width, int height, double scale, const char *format,
                              int quality)
{
  const char *const signature = Q_FUNC_INFO;
  const QPixmap pixmap = toPixmap(width, height, scale);
  if (pixmap.isNull())
    return false;
  const QByteArray imageFormat = format ? QByteArray(format) : QFileInfo(fileName).suffix().toLatin1();
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, imageFormat);
  writer.setQuality(quality);
  if (!writer.write(pixmap.toImage())) {
    qDebug() << signature << "Couldn't encode image as" << imageFormat << writer.errorString();
    return false;
  }
  buffer.close();
  return writeWholeFile(fileName, buffer.data(), signature);
}

bool PlotWidget::savePng(const QString &fileName, int width, int height, double scale, int quality)
{
  return saveRastered(fileName, width, height, scale, "PNG", quality);
}

bool PlotWidget::saveJpg(const QString &fileName, int width, int height, double scale, int quality)
{
  return saveRastered(fileName, width, height, scale, "JPG", quality);
}

bool PlotWidget::saveBmp(const QString &fileName, int width, int height, double scale)
{
  return saveRastered(fileName, width, height, scale, "BMP", -1);
}

bool PlotWidget::savePdf(const QString &fileName, bool noCosmeticPen, int width, int height,
                         const QString &pdfCreator, const QString &pdfTitle)
{
  const char *const signature = Q_FUNC_INFO;
  if (!resolveExportSize(width, height, signature))
    return false;
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  const QRect oldViewport = mViewport;
  bool written = false;
  {
    QPdfWriter writer(&buffer);
    writer.setCreator(pdfCreator);
    writer.setTitle(pdfTitle);
    // Screen resolution, as the plot's pixels are screen pixels.
    const QScreen *screen = QGuiApplication::primaryScreen();
    writer.setResolution(screen ? qRound(screen->logicalDotsPerInchX()) : 96);
    setViewport(QRect(0, 0, width, height));
    QPageLayout pageLayout(QPageSize(mViewport.size(), QString(), QPageSize::ExactMatch), QPageLayout::Portrait,
                           QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    pageLayout.setMode(QPageLayout::FullPageMode);
    writer.setPageLayout(pageLayout);
    PlotPainter painter;
    if (painter.begin(&writer)) {
      painter.setMode(PlotPainter::pmVectorized);
      painter.setMode(PlotPainter::pmNoCaching);
      painter.setMode(PlotPainter::pmNonCosmetic, noCosmeticPen);
      painter.setWindow(mViewport);
      // A white or transparent background is left to the page.
      if (mBackgroundBrush.style() != Qt::NoBrush && mBackgroundBrush.color() != Qt::white &&
          mBackgroundBrush.color() != Qt::transparent && mBackgroundBrush.color().alpha() > 0)
        painter.fillRect(mViewport, mBackgroundBrush);
      draw(&painter);
      written = painter.end();
    } else {
      qDebug() << signature << "Couldn't activate painter on PDF writer";
    }
  }
  restoreViewportAfterExport(oldViewport);
  buffer.close();
  if (!written || buffer.data().isEmpty())
    return false;
  return writeWholeFile(fileName, buffer.data(), signature);
}
