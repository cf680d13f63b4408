#include "waitindicator.h"

#include <QCursor>
#include <QGuiApplication>

WaitIndicator::WaitIndicator()
{
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitIndicator::~WaitIndicator()
{
  QGuiApplication::restoreOverrideCursor();
}
