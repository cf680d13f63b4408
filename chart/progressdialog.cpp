#include "progressdialog.h"
#include "ui_progressdialog.h"

#include <QEvent>

ProgressDialog::ProgressDialog(int minimum, int maximum, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint), ui(new Ui::ProgressDialog)
{
  ui->setupUi(this);
  connect(ui->closeButton, &QPushButton::clicked, this, &ProgressDialog::canceled);
  ui->progressBar->setRange(minimum, maximum);
  ui->progressBar->setValue(minimum);
}

ProgressDialog::~ProgressDialog()
{
  delete ui;
}

int ProgressDialog::value() const
{
  return ui->progressBar->value();
}

int ProgressDialog::minimum() const
{
  return ui->progressBar->minimum();
}

int ProgressDialog::maximum() const
{
  return ui->progressBar->maximum();
}

QString ProgressDialog::info() const
{
  return ui->labelInfo->text();
}

void ProgressDialog::setInfo(const QString &text)
{
  ui->labelInfo->setText(text);
}

void ProgressDialog::setMinimum(int minimum)
{
  ui->progressBar->setMinimum(minimum);
}

void ProgressDialog::setMaximum(int maximum)
{
  ui->progressBar->setMaximum(maximum);
}

void ProgressDialog::setIndeterminate()
{
  ui->progressBar->setRange(0, 0);
}

void ProgressDialog::setValue(int value)
{
  if (value < ui->progressBar->minimum() || value > ui->progressBar->maximum())
    return;
  ui->progressBar->setValue(value);
}

void ProgressDialog::reject()
{
}

void ProgressDialog::changeEvent(QEvent *event)
{
  if (event->type() == QEvent::LanguageChange) {
    ui->retranslateUi(this);
    setWindowTitle(QString());
    ui->labelInfo->clear();
  }
  QDialog::changeEvent(event);
}
