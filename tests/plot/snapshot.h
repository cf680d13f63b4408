#ifndef PLOT_TEST_SNAPSHOT_H
#define PLOT_TEST_SNAPSHOT_H

#include <QDir>
#include <QPixmap>
#include <QString>
#include <QWidget>

// When TEST_SNAPSHOT_DIR names a folder, plot tests save what they rendered
// there as PNG files so a person can look at them. Returns whether a file was
// written; without the variable it does nothing.
inline bool saveSnapshot(const QPixmap &pixmap, const QString &name)
{
  const QString dir = qEnvironmentVariable("TEST_SNAPSHOT_DIR");
  if (dir.isEmpty() || pixmap.isNull())
    return false;
  if (!QDir().mkpath(dir))
    return false;
  return pixmap.save(QDir(dir).filePath(name + QStringLiteral(".png")), "PNG");
}

inline bool saveSnapshot(QWidget *widget, const QString &name)
{
  return widget && saveSnapshot(widget->grab(), name);
}

#endif // PLOT_TEST_SNAPSHOT_H
