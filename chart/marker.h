#ifndef MARKER_H
#define MARKER_H

#include <QColor>
#include <QPolygonF>
#include <QString>

class QPainter;

// One pentagon tag of the marker bar: a strip position and the time under it.
class Marker
{
public:
  Marker();

  // Shifts the outline to the new position and stores both.
  void move(double x, double time);
  void draw(QPainter *painter);
  void createPolygon();

  QString name;
  double x = 0;
  double time = 0;
  Marker *partner = nullptr;
  QColor color;
  QColor textColor;
  QPolygonF polygon;
};

#endif // MARKER_H
