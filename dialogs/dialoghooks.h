#ifndef DIALOGHOOKS_H
#define DIALOGHOOKS_H

#include <QColor>
#include <QDateTime>
#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// The questions the options dialog puts to the user and the clock it reads.
// Each hook left empty gives the real dialog or the system clock; tests set
// them so that no person has to answer.
struct DialogHooks
{
  enum Box { Information, Warning };
  enum FileMode { OpenFile, SaveFile };

  static std::function<int(QWidget *parent, Box box, const QString &title, const QString &text,
                           QMessageBox::StandardButtons buttons)>
    message;
  static std::function<QString(QWidget *parent, FileMode mode, const QString &caption, const QString &path,
                               const QString &filter)>
    fileName;
  static std::function<QColor(QWidget *parent, const QColor &initial)> color;
  static std::function<QDateTime()> now;

  static int ask(QWidget *parent, Box box, const QString &title, const QString &text,
                 QMessageBox::StandardButtons buttons = QMessageBox::Ok);
  static QString chooseFile(QWidget *parent, FileMode mode, const QString &caption, const QString &path,
                            const QString &filter);
  static QColor chooseColor(QWidget *parent, const QColor &initial);
  static QDateTime currentDateTime();
  static void reset();
};

#endif // DIALOGHOOKS_H
