#include "markerbar.h"

#include "glwidget.h"
#include "helpers.h"
#include "marker.h"
#include "plotaxis.h"
#include "plotaxisrect.h"
#include "plotwidget.h"
#include "reportbar.h"
#include "settings.h"

#include <QApplication>
#include <QColorDialog>
#include <QEvent>
#include <QHoverEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {
const QColor kDefaultColor(Qt::black);

// A stored strip position, or nothing when the text is no finite number.
bool storedPosition(const QVariant &value, double *x)
{
  bool ok = false;
  const double v = value.toDouble(&ok);
  if (!ok || !std::isfinite(v))
    return false;
  *x = v;
  return true;
}

// The tag's width: the least distance between the two markers' places.
double tagWidth()
{
  static const double width = int(Marker().polygon.boundingRect().width());
  return width;
}
} // namespace

MarkerBar::MarkerBar(QWidget *parent) : QWidget(parent)
{
  setAttribute(Qt::WA_Hover, true);
}

MarkerBar::~MarkerBar()
{
  qDeleteAll(markers);
}

PlotAxis *MarkerBar::timeAxis() const
{
  return plot ? plot->xAxis : nullptr;
}

QColor MarkerBar::getColor() const
{
  return kDefaultColor;
}

Marker *MarkerBar::marker(int index) const
{
  return markers.value(index, nullptr);
}

Marker *MarkerBar::createPair(double x)
{
  PlotAxis *axis = timeAxis();
  auto *t1 = new Marker;
  t1->name = QStringLiteral("T1");
  t1->color = getColor();
  t1->textColor = dark ? Qt::white : Qt::black;
  // A chart not laid out yet has no time under a pixel: its middle stands
  // in until the pair is placed on it.
  const double middle = axis->range().center();
  auto timeAt = [&](double px) {
    const double t = axis->pixelToCoord(px);
    return std::isfinite(t) ? t : middle;
  };
  t1->move(x, timeAt(x));
  auto *t2 = new Marker;
  t2->name = QStringLiteral("T2");
  t2->color = t1->color;
  t2->textColor = t1->textColor;
  const double x2 = t1->x + tagWidth();
  t2->move(x2, timeAt(x2));
  t1->partner = t2;
  t2->partner = t1;
  markers << t1 << t2;
  emit markerAdded(t1);
  update();
  return t1;
}

Marker *MarkerBar::addMarker()
{
  PlotAxis *axis = timeAxis();
  if (!axis || markers.size() > 1)
    return nullptr;
  const PlotRange range = axis->range();
  const double time = range.lower + 0.5 * (range.upper - range.lower);
  Marker *t1 = createPair(axis->coordToPixel(time));
  // The middle time itself, not the one read back from its pixel.
  t1->time = time;
  return t1;
}

Marker *MarkerBar::addMarker(double x)
{
  PlotAxis *axis = timeAxis();
  if (!axis || markers.size() > 1)
    return nullptr;
  const PlotRange range = axis->range();
  const double width = int(Marker().polygon.boundingRect().width());
  if (!range.contains(axis->pixelToCoord(x)) || !range.contains(axis->pixelToCoord(x + width)))
    return nullptr;
  return createPair(x);
}

void MarkerBar::removeMarker(Marker *marker)
{
  if (!marker || !markers.contains(marker))
    return;
  Marker *partner = marker->partner;
  markers.removeAll(marker);
  if (partner)
    markers.removeAll(partner);
  if (dragged == marker || dragged == partner)
    dragged = nullptr;
  emit markerRemoved(marker);
  update();
  delete marker;
  if (partner != marker)
    delete partner;
}

void MarkerBar::removeMarker(QString &name)
{
  removeMarker(markerByName(name));
}

void MarkerBar::removeAll()
{
  emit markersRemoved(0);
  dragged = nullptr;
  qDeleteAll(markers);
  markers.clear();
  update();
}

Marker *MarkerBar::markerByName(const QString &name) const
{
  for (Marker *m : markers)
    if (m->name == name)
      return m;
  return nullptr;
}

Marker *MarkerBar::markerAtTime(double time) const
{
  for (Marker *m : markers)
    if (m->time == time)
      return m;
  return nullptr;
}

Marker *MarkerBar::markerAtPos(double x) const
{
  for (int i = markers.size() - 1; i >= 0; --i) {
    const QRectF box = markers.at(i)->polygon.boundingRect();
    if (x >= box.left() && x <= box.right())
      return markers.at(i);
  }
  return nullptr;
}

void MarkerBar::setPlotter(GLWidget *newChart)
{
  if (plot)
    disconnect(plot, &PlotWidget::afterReplot, this, &MarkerBar::followChart);
  chart = newChart;
  plot = newChart ? newChart->plot : nullptr;
  if (!plot) {
    update();
    return;
  }
  // A fresh tab's plot takes its axes and its size after this, and only a
  // replot lays it out: the pair is settled on the first layout with room
  // for it, and follows the chart's own layout from then on.
  connect(plot, &PlotWidget::afterReplot, this, &MarkerBar::followChart);
  seenWidth = -1;
  seenRect = QRect();
  if (markers.isEmpty()) {
    addMarker();
    pending = Pending::Unplaced;
    Settings settings;
    settings.beginGroup(QStringLiteral("Main"));
    // Until they are placed the markers hold the stored places, so that a
    // window closed before its chart had room keeps them.
    for (int i = 0; i < 2; ++i) {
      double x = 0;
      if (storedPosition(settings.value(i ? QStringLiteral("marker-2") : QStringLiteral("marker-1")), &x))
        markers.at(i)->move(x, markers.at(i)->time);
    }
    if (settings.contains(QStringLiteral("marker-1"))) {
      QColor color(settings.value(QStringLiteral("marker-color"), QStringLiteral("#000000")).toString());
      if (!color.isValid())
        color = kDefaultColor;
      for (Marker *m : std::as_const(markers))
        m->color = color;
    }
    settings.endGroup();
  }
  if (pending == Pending::Unplaced || pending == Pending::Place) {
    // The first place (the middle of the time range, or the stored places)
    // is taken on a chart as it is shown: one that holds a capture that no
    // longer runs, handed over by the window once it is drawn.
    const bool shown = chart && chart->holdsCapture() && !Helpers::isMeasuring;
    pending = shown ? Pending::Place : Pending::Unplaced;
  } else {
    pending = Pending::Attach;
  }
  followChart();
  update();
}

bool MarkerBar::placed() const
{
  return markers.size() == 2 && pending != Pending::Unplaced && pending != Pending::Place;
}

void MarkerBar::placeFromSettings(double lo, double hi)
{
  PlotAxis *axis = plot->xAxis;
  const QRect edges = place();
  const double a = edges.left();
  const double b = edges.right();
  const double middle = (edges.left() + edges.right()) / 2;
  const double width = tagWidth();
  Settings settings;
  settings.beginGroup(QStringLiteral("Main"));
  const bool stored = settings.contains(QStringLiteral("marker-1"));
  // Where addMarker puts the pair: T1 at the middle of the time range.
  const double centre = axis->range().center();
  double p[2] = {axis->coordToPixel(centre), axis->coordToPixel(centre) + width};
  if (stored) {
    // A stored place off the bar goes to its middle (T2 a tag's width to
    // the right); with no "marker-2" T2 stays where addMarker puts it.
    double x[2] = {qQNaN(), qQNaN()};
    storedPosition(settings.value(QStringLiteral("marker-1")), &x[0]);
    p[0] = x[0] >= a && x[0] <= b ? x[0] : middle;
    if (settings.contains(QStringLiteral("marker-2"))) {
      storedPosition(settings.value(QStringLiteral("marker-2")), &x[1]);
      p[1] = x[1] >= a && x[1] <= b ? x[1] : middle + width;
    }
  }
  settings.endGroup();
  // Places the chart does not show, or that would not keep T1 before T2 a
  // tag apart (a place from a larger window, "nan", a missing T2), make way
  // for the rule of a place off the bar, never for two tags on one pixel.
  if (!(p[0] >= lo && p[1] <= hi && p[0] + width <= p[1])) {
    placePair(markers.at(0), fallbackPlace(lo, hi), lo, hi);
    return;
  }
  for (int i = 0; i < 2; ++i)
    markers.at(i)->move(p[i], axis->pixelToCoord(p[i]));
  // The middle time itself, not the one read back from its pixel.
  if (!stored)
    markers.at(0)->time = centre;
}

double MarkerBar::fallbackPlace(double lo, double hi) const
{
  const QRect edges = place();
  const double middle = (edges.left() + edges.right()) / 2;
  if (middle >= lo && middle + tagWidth() <= hi)
    return middle;
  return plot->xAxis->coordToPixel(plot->xAxis->range().center());
}

void MarkerBar::placePair(Marker *first, double x, double lo, double hi)
{
  PlotAxis *axis = plot->xAxis;
  const double width = tagWidth();
  x = qBound(lo, x, hi - width);
  first->move(x, axis->pixelToCoord(x));
  first->partner->move(x + width, axis->pixelToCoord(x + width));
}

bool MarkerBar::onAxis(double lo, double hi) const
{
  for (const Marker *m : markers) {
    if (!(m->x >= lo && m->x <= hi))
      return false;
  }
  return true;
}

bool MarkerBar::roomOnChart(double *lo, double *hi) const
{
  PlotAxis *axis = timeAxis();
  // A hidden plot has not been laid out at its real size: its pixels tell
  // nothing of where a place would lie.
  if (!axis || !plot->isVisible() || markers.size() != 2)
    return false;
  const PlotRange range = axis->range();
  const double ends[2] = {axis->coordToPixel(range.lower), axis->coordToPixel(range.upper)};
  *lo = std::min(ends[0], ends[1]);
  *hi = std::max(ends[0], ends[1]);
  return std::isfinite(*lo) && std::isfinite(*hi) && *hi - *lo >= tagWidth();
}

void MarkerBar::followChart()
{
  double lo = 0, hi = 0;
  if (pending == Pending::Unplaced)
    return;
  // Without room the pair waits where it is: an axis of no length has no
  // time under any pixel.
  if (!roomOnChart(&lo, &hi)) {
    keepTimesInWindow();
    return;
  }
  const QRect rect = plot->axisRect() ? plot->axisRect()->rect() : QRect();
  const double before[2] = {markers.at(0)->x, markers.at(1)->x};
  if (pending == Pending::Place) {
    // Stored places the chart cannot keep are settled there.
    placeFromSettings(lo, hi);
  } else {
    followLayout(rect, lo, hi);
  }
  pending = Pending::None;
  seenWidth = plot->width();
  seenRect = rect;
  if (markers.at(0)->x != before[0] || markers.at(1)->x != before[1]) {
    update();
    // The chart's lines were drawn at the old places.
    PlotWidget *p = plot;
    QMetaObject::invokeMethod(p, [p] { p->replot(); }, Qt::QueuedConnection);
  }
}

void MarkerBar::followLayout(const QRect &rect, double lo, double hi)
{
  PlotAxis *axis = plot->xAxis;
  if (pending == Pending::Attach || (rect != seenRect && plot->width() == seenWidth)) {
    // A new chart, or new margins of this one: the tags stay on the strip.
    takeTimes();
  } else if (plot->width() != seenWidth) {
    // A dock shown or hidden, the window resized: the times stay marked.
    for (Marker *m : std::as_const(markers))
      m->move(axis->coordToPixel(m->time), m->time);
  }
  // A pair the chart does not show goes where a place off the bar goes, in
  // the order it had: only a drag puts one marker past the other.
  if (!onAxis(lo, hi)) {
    Marker *first = markers.at(1)->x < markers.at(0)->x ? markers.at(1) : markers.at(0);
    placePair(first, fallbackPlace(lo, hi), lo, hi);
  }
}

void MarkerBar::takeTimes()
{
  PlotAxis *axis = timeAxis();
  if (!axis)
    return;
  for (Marker *m : std::as_const(markers)) {
    const double t = axis->pixelToCoord(m->x);
    // An axis of no length has no time under the place: the old one stays.
    if (std::isfinite(t))
      m->move(m->x, t);
  }
}

void MarkerBar::keepTimesInWindow()
{
  PlotAxis *axis = timeAxis();
  if (!axis || markers.size() != 2)
    return;
  const PlotRange range = axis->range();
  bool shown = true;
  for (const Marker *m : std::as_const(markers))
    shown = shown && std::isfinite(m->time) && range.contains(m->time);
  if (shown)
    return;
  // No pixel of the chart tells a time: the strip stands in for its time
  // axis, so the pair keeps its order and its distance shows.
  const QRect edges = place();
  const double a = edges.left(), b = edges.right();
  for (Marker *m : std::as_const(markers)) {
    const double share = b > a ? qBound(0.0, (m->x - a) / (b - a), 1.0) : 0.5;
    m->move(m->x, range.lower + share * range.size());
  }
  // Once there is room the tags take the times under them.
  if (pending == Pending::None)
    pending = Pending::Attach;
}

QRect MarkerBar::place() const
{
  // A strip never shown keeps the geometry it was made with; the layout
  // that holds it tells where it stands once shown.
  if (isHidden() && parentWidget()) {
    const auto layouts = parentWidget()->findChildren<QLayout *>();
    for (const QLayout *layout : layouts) {
      if (layout->indexOf(this) >= 0 && layout->geometry().isValid())
        return layout->contentsRect();
    }
  }
  return geometry();
}

bool MarkerBar::showsMarkers() const
{
  return markers.size() == 2 && chart && plot && chart->holdsCapture();
}

QString MarkerBar::distanceText(double d)
{
  if (d < 0.001)
    return QStringLiteral("%1 %2s").arg(qint64(d * 1000000)).arg(QChar(0x03BC));
  if (d < 1)
    return QStringLiteral("%1 ms").arg(QString::number(d * 1000, 'f', 1));
  return QStringLiteral("%1 s").arg(QString::number(d, 'f', 2));
}

void MarkerBar::updateToolTip()
{
  if (markers.size() < 2)
    return;
  ReportData data;
  PlotRange range(markers.at(0)->time, markers.at(1)->time);
  range.normalize();
  ReportBar::update(chart, range, &data);
  QString text = tr("Length: ") + distanceText(std::abs(markers.at(0)->time - markers.at(1)->time)) + "\n";
  const double maxima[3] = {data.max0, data.max1, data.max2};
  const double minima[3] = {data.min0, data.min1, data.min2};
  const double averages[3] = {data.avg0, data.avg1, data.avg2};
  for (int c = 0; c < 3; ++c) {
    if (!data.hasData(c))
      continue;
    const int d = Helpers::divider(maxima[c]);
    if (c == 0)
      text += QStringLiteral("#0: %1A\n").arg(Helpers::unitCharA(d));
    else
      text += QStringLiteral("#%1: %2V\n").arg(c).arg(Helpers::unitCharV(d));
    text += QStringLiteral("   min ") + QString::number(minima[c] / d, 'f', 2) + "\n";
    text += QStringLiteral("   max ") + QString::number(maxima[c] / d, 'f', 2) + "\n";
    text += QStringLiteral("   average ") + QString::number(averages[c] / d, 'f', 2) + "\n";
  }
  toolTipText = text;
}

void MarkerBar::on_changeColorTheme(bool _dark)
{
  dark = _dark;
  for (Marker *m : std::as_const(markers))
    m->textColor = dark ? Qt::white : Qt::black;
  update();
}

void MarkerBar::on_rangeChanged(PlotRange &, PlotRange &, PlotAxis *_axis)
{
  if (!_axis || _axis->axisType() != PlotAxis::atBottom || !timeAxis())
    return;
  double lo = 0, hi = 0;
  if (pending != Pending::None)
    followChart();
  else if (roomOnChart(&lo, &hi))
    takeTimes();
  else
    keepTimesInWindow();
  update();
}

void MarkerBar::on_sizeChanged()
{
  PlotAxis *axis = timeAxis();
  double lo = 0, hi = 0;
  if (!axis || pending != Pending::None || !roomOnChart(&lo, &hi))
    return;
  for (Marker *m : std::as_const(markers))
    m->move(axis->coordToPixel(m->time), m->time);
  update();
}

void MarkerBar::on_translate() {}

bool MarkerBar::event(QEvent *e)
{
  switch (e->type()) {
  case QEvent::HoverEnter:
    hoverEnter(static_cast<QHoverEvent *>(e));
    return true;
  case QEvent::HoverLeave:
    hoverLeave(static_cast<QHoverEvent *>(e));
    return true;
  case QEvent::HoverMove:
    hoverMove(static_cast<QHoverEvent *>(e));
    return true;
  default:
    return QWidget::event(e);
  }
}

void MarkerBar::hoverEnter(QHoverEvent *e)
{
  const QPoint pos = e->position().toPoint();
  if (!hintRect.contains(pos))
    return;
  updateToolTip();
  QToolTip::showText(mapToGlobal(pos), toolTipText);
}

void MarkerBar::hoverMove(QHoverEvent *e)
{
  if (!QToolTip::isVisible())
    hoverEnter(e);
}

void MarkerBar::hoverLeave(QHoverEvent *)
{
  QToolTip::showText(QPoint(), QString());
}

void MarkerBar::mousePressEvent(QMouseEvent *e)
{
  if (!Helpers::isMeasuring)
    dragged = showsMarkers() ? markerAtPos(std::round(e->position().x())) : nullptr;
}

void MarkerBar::mouseMoveEvent(QMouseEvent *e)
{
  PlotAxis *axis = timeAxis();
  if (!axis || Helpers::isMeasuring || !dragged)
    return;
  const double p = std::round(e->position().x());
  const double t = axis->pixelToCoord(p);
  if (!axis->range().contains(t))
    return;
  dragged->move(p, t);
  emit markerMoved(t);
  update();
}

void MarkerBar::mouseReleaseEvent(QMouseEvent *e)
{
  if (!plot || Helpers::isMeasuring)
    return;
  if (dragged && e->button() == Qt::RightButton) {
    Marker *picked = dragged;
    const QColor color = QColorDialog::getColor(picked->color, this, tr("Marker's color"));
    // The dialog turns the event loop; the pair may have gone meanwhile.
    if (color.isValid() && markers.contains(picked)) {
      picked->color = color;
      if (picked->partner)
        picked->partner->color = color;
      update();
    }
  }
  dragged = nullptr;
}

void MarkerBar::paintEvent(QPaintEvent *)
{
  QPainter painter(this);
  painter.setPen(QApplication::palette().color(QPalette::Light));
  painter.drawRect(QRect(QPoint(0, 0), QPoint(width() - 2, height() - 2)));
  if (!showsMarkers()) {
    // No text to hover over either.
    hintRect = QRect();
    return;
  }
  painter.save();
  QString text;
  if (Helpers::isMeasuring) {
    text = QStringLiteral("T1: --, T2: --, dT: --   ");
  } else {
    const double t1 = markers.at(0)->time, t2 = markers.at(1)->time;
    text = QStringLiteral("T1: %1, T2: %2, dT: %3 ")
               .arg(Helpers::timeToString(t1, true, 2), Helpers::timeToString(t2, true, 2),
                    distanceText(std::abs(t1 - t2))) +
           QStringLiteral(" ... ");
  }
  painter.setPen(dark ? Qt::white : Qt::black);
  painter.drawText(rect(), Qt::AlignRight | Qt::AlignVCenter, text);
  hintRect = painter.fontMetrics().boundingRect(rect(), Qt::AlignRight | Qt::AlignVCenter, text);
  painter.restore();
  for (Marker *m : std::as_const(markers))
    m->draw(&painter);
}
