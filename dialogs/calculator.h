#ifndef CALCULATOR_H
#define CALCULATOR_H

#include "panel.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

namespace Ui {
class Calculator;
}

// One source of the average current: its span in capture time and the
// average over it in mA. The main window fills the records in place.
struct CalculatorInfo
{
  Q_GADGET
public:
  enum InfoType { Markers = 0, Visible = 1, Whole = 2, Working = 3, User = 4 };
  Q_ENUM(InfoType)

  InfoType type = Markers;
  int error = 0;
  double t_from = 0;
  double t_to = 0;
  double average = 0;
};

// Estimates how long a battery of the entered capacity lasts at the average
// current of the chosen source.
class Calculator : public Panel
{
  Q_OBJECT
public:
  enum Error { Valid = 0, WrongValue = 1, TooLong = 3, MarkersHidden = 4, MarkersClose = 5, NoData = 6 };

  explicit Calculator(QWidget *parent = nullptr);
  ~Calculator() override;

  using Panel::update; // the repaint overloads stay reachable
  void update(QList<CalculatorInfo> list);
  CalculatorInfo &getInfo(CalculatorInfo::InfoType type);
  void applyInfo(CalculatorInfo &info);
  void showError(CalculatorInfo info);
  void calc();
  double getAverage() const;
  int checkUserEnter() const;
  int checkWorkingEnter();
  void requestWorking();
  void connectAll();

  // Battery life text of a capacity (mAh) at an average current (mA);
  // an empty text when the current gives no meaningful estimate.
  static QString lifeText(double capacity, double average);

  // The capture sources' spans and currents back to the form's dashes.
  void clearReadings();

  QList<CalculatorInfo> infoList;
  // The capture the records were last computed from, as the main window
  // tells it: another one's figures must not stand for it.
  QPointer<QObject> capture;

public slots:
  void onRadioButton(CalculatorInfo::InfoType _type);
  void onCalcButton();

signals:
  void updateInfo();

protected:
  bool event(QEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void closeEvent(QCloseEvent *event) override;

private:
  void userEdited();
  void showTip(QWidget *anchor, const QString &text);
  void noEstimate();
  // Record 3's span: `seconds` centred on the whole capture's centre.
  void centreWorking(double seconds);
  double wholeLength() const;

  Ui::Calculator *ui;
  QString m_noSpan;
  QString m_noCurrent;
};

#endif // CALCULATOR_H
