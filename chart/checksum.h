#ifndef CHECKSUM_H
#define CHECKSUM_H

#include <QByteArray>
#include <QByteArrayView>
#include <QCryptographicHash>

// The digest of a stream of bytes, the same however the stream is cut up: a
// copy is summed as it is written and again as it is read back, so that a
// copy that differs is never taken for the capture.
class Checksum
{
public:
  void add(const char *data, qint64 length)
  {
    if (length <= 0)
      return;
    m_hash.addData(QByteArrayView(data, length));
    m_total += length;
  }
  QByteArray value() const { return m_hash.result(); }
  qint64 length() const { return m_total; }

private:
  QCryptographicHash m_hash{QCryptographicHash::Sha1};
  qint64 m_total = 0;
};

#endif // CHECKSUM_H
