#ifndef PROGRESSDIALOG_H
#define PROGRESSDIALOG_H

#include <QDialog>

namespace Ui {
class ProgressDialog;
}

// Frameless progress window of the long capture-file reads. Its Close button
// emits canceled(); Esc does nothing, so only the button cancels.
class ProgressDialog : public QDialog
{
  Q_OBJECT

public:
  ProgressDialog(int minimum, int maximum, QWidget *parent = nullptr);
  ~ProgressDialog() override;

  int value() const;
  int minimum() const;
  int maximum() const;
  QString info() const;
  void setInfo(const QString &text);
  void setMinimum(int minimum);
  void setMaximum(int maximum);
  // Range 0..0: the bar's busy mode.
  void setIndeterminate();

public slots:
  // A value outside the bar's range leaves the bar unchanged.
  void setValue(int value);
  void reject() override;

signals:
  void canceled();

protected:
  void changeEvent(QEvent *event) override;

private:
  Ui::ProgressDialog *ui;
};

#endif // PROGRESSDIALOG_H
