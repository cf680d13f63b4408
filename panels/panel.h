#ifndef PANEL_H
#define PANEL_H

#include <QWidget>

// Base of the docked tool panels: a tool window whose title bar has no close,
// minimise or maximise button, and that leaves the focus where it is when shown.
class Panel : public QWidget
{
  Q_OBJECT
public:
  explicit Panel(QWidget *parent);
};

#endif // PANEL_H
