#include "panel.h"

Panel::Panel(QWidget *parent)
  : QWidget(parent, Qt::WindowFlags())
{
  setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
  setAttribute(Qt::WA_ShowWithoutActivating);
}
