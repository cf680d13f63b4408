#include "dialoghooks.h"

#include <QColorDialog>
#include <QFileDialog>

decltype(DialogHooks::message) DialogHooks::message;
decltype(DialogHooks::fileName) DialogHooks::fileName;
decltype(DialogHooks::color) DialogHooks::color;
decltype(DialogHooks::now) DialogHooks::now;

int DialogHooks::ask(QWidget *parent, Box box, const QString &title, const QString &text,
                     QMessageBox::StandardButtons buttons)
{
  if (message)
    return message(parent, box, title, text, buttons);
  // Plain text: some texts come from the update server.
  QMessageBox dialog(box == Information ? QMessageBox::Information : QMessageBox::Warning, title, text, buttons,
                     parent);
  dialog.setTextFormat(Qt::PlainText);
  return dialog.exec();
}

QString DialogHooks::chooseFile(QWidget *parent, FileMode mode, const QString &caption, const QString &path,
                                const QString &filter)
{
  if (fileName)
    return fileName(parent, mode, caption, path, filter);
  if (mode == SaveFile)
    return QFileDialog::getSaveFileName(parent, caption, path, filter);
  return QFileDialog::getOpenFileName(parent, caption, path, filter);
}

QColor DialogHooks::chooseColor(QWidget *parent, const QColor &initial)
{
  if (color)
    return color(parent, initial);
  return QColorDialog::getColor(initial, parent, QString());
}

QDateTime DialogHooks::currentDateTime()
{
  return now ? now() : QDateTime::currentDateTime();
}

void DialogHooks::reset()
{
  message = nullptr;
  fileName = nullptr;
  color = nullptr;
  now = nullptr;
}
