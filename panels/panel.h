#ifndef PANEL_H
#define PANEL_H

#include <QWidget>

// Base of the tool panels: a tool window with a title bar but no close,
// minimise or maximise button, which does not take the focus when shown.
class Panel : public QWidget
{
  Q_OBJECT
public:
  explicit Panel(QWidget *parent = nullptr);
};

#endif // PANEL_H
