#include "marker.h"

#include <QPainter>

Marker::Marker()
{
  createPolygon();
}

void Marker::move(double newX, double newTime)
{
  polygon.translate(newX - x, 0);
  x = newX;
  time = newTime;
}

void Marker::draw(QPainter *painter)
{
  painter->save();
  painter->setPen(color);
  painter->setBrush(Qt::NoBrush);
  painter->drawPolygon(polygon, Qt::OddEvenFill);
  painter->setPen(textColor);
  painter->drawText(polygon.boundingRect(), Qt::AlignCenter, name);
  painter->restore();
}

void Marker::createPolygon()
{
  polygon << QPointF(5, 1) << QPointF(21, 1) << QPointF(21, 16) << QPointF(13, 22) << QPointF(5, 16) << QPointF(5, 1);
}
