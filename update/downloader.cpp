#include "downloader.h"

#include <QDebug>
#include <QDomDocument>
#include <QNetworkReply>
#include <QNetworkRequest>

Q_LOGGING_CATEGORY(DOWNLOADER, "downloader")

namespace {

bool s_loopbackHttp = false;

// Server texts end up in labels and settings; a version is short.
constexpr int MaxVersionLength = 64;

bool acceptable(const QUrl &url)
{
  if (Downloader::isSafeLink(url))
    return true;
  return s_loopbackHttp && url.isValid() && url.scheme() == QLatin1String("http") &&
         url.host() == QLatin1String("127.0.0.1");
}

} // namespace

Downloader::Downloader(QObject *parent)
  : QObject(parent)
{
  connect(&m_manager, &QNetworkAccessManager::finished, this, &Downloader::fileDownloaded);
  m_timer.setSingleShot(true);
  m_totalTimer.setSingleShot(true);
  connect(&m_timer, &QTimer::timeout, this, &Downloader::timeout);
  connect(&m_totalTimer, &QTimer::timeout, this, &Downloader::timeout);
}

Downloader::~Downloader()
{
  // A reply still in flight must not call back into a half-destroyed object.
  if (m_reply) {
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    delete reply;
  }
  m_manager.disconnect(this);
}

void Downloader::setLoopbackHttpAllowed(bool allowed)
{
  s_loopbackHttp = allowed;
}

void Downloader::setLimits(qint64 maxInfoSize, qint64 maxFileSize)
{
  m_maxInfoSize = maxInfoSize;
  m_maxFileSize = maxFileSize;
}

void Downloader::setTimeouts(int firstByteMs, int stallMs, int totalMs)
{
  m_firstByteMs = firstByteMs;
  m_stallMs = stallMs;
  m_totalMs = totalMs;
}

bool Downloader::isSafeLink(const QUrl &url)
{
  return url.isValid() && !url.isRelative() && url.scheme() == QLatin1String("https") && !url.host().isEmpty() &&
         url.userInfo().isEmpty();
}

bool Downloader::isHTML(const QByteArray &bytes)
{
  // An error page instead of the file; servers write the tag in any case
  // and with attributes. Only the start is looked at: a firmware image may
  // hold any bytes further on.
  return bytes.left(1024).toLower().contains("<html");
}

int Downloader::startDownloadInfo(const QUrl &url)
{
  if (m_state == Busy)
    return 1;
  start(url, true);
  return 0;
}

int Downloader::startDownloadFw()
{
  if (m_state == Busy)
    return 1;
  start(QUrl(m_link, QUrl::StrictMode), false);
  return 0;
}

void Downloader::start(const QUrl &url, bool infoMode)
{
  m_infoMode = infoMode;
  m_state = Busy;
  m_file.clear();
  m_abortReason.clear();

  if (!acceptable(url)) {
    // Qt's network access would read file: and qrc: links from this machine.
    m_abortReason = url.isEmpty() ? tr("The update server named no download link.")
                                  : tr("Refused the address \"%1\": only https links are accepted.")
                                      .arg(url.toDisplayString().left(200));
    m_refused = true;
    QMetaObject::invokeMethod(this, [this] { fileDownloaded(nullptr); }, Qt::QueuedConnection);
    return;
  }

  QNetworkRequest request(url);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
  request.setMaximumRedirectsAllowed(MaxRedirects);
  QNetworkReply *reply = m_manager.get(request);
  m_reply = reply;
  connect(reply, &QNetworkReply::readyRead, this, &Downloader::receive);
  connect(reply, &QNetworkReply::metaDataChanged, this, &Downloader::receive);
  connect(reply, &QNetworkReply::downloadProgress, this, &Downloader::progressTmr);
  connect(reply, &QNetworkReply::redirected, this, [this, reply](const QUrl &target) {
    if (reply != m_reply)
      return;
    const QUrl next = reply->url().resolved(target);
    if (acceptable(next))
      emit reply->redirectAllowed();
    else
      abortWith(tr("The update server redirected to \"%1\": only https links are accepted.")
                  .arg(next.toDisplayString().left(200)));
  });
  m_timer.start(m_firstByteMs);
  m_totalTimer.start(m_totalMs >= 0 ? m_totalMs : (infoMode ? InfoTotalTimeoutMs : FileTotalTimeoutMs));
}

void Downloader::receive()
{
  QNetworkReply *reply = m_reply;
  if (!reply || sender() != reply)
    return;
  const qint64 cap = m_infoMode ? m_maxInfoSize : m_maxFileSize;
  const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
  if (length.isValid() && length.toLongLong() > cap) {
    abortWith(tr("The reply is too large (%1 bytes).").arg(length.toLongLong()));
    return;
  }
  const qint64 waiting = reply->bytesAvailable();
  if (waiting <= 0)
    return;
  // Some Qt versions hold back downloadProgress while a body stalls; every
  // arrival of bytes counts as progress for the stall bound.
  m_timer.start(m_stallMs);
  if (m_file.size() + waiting > cap) {
    abortWith(tr("The reply is too large (more than %1 bytes).").arg(cap));
    return;
  }
  m_file += reply->readAll();
}

void Downloader::progressTmr(qint64 dowload, qint64 total)
{
  if (!m_reply || sender() != m_reply)
    return;
  if (!m_infoMode)
    emit progress(dowload, total);
  if (m_reply && dowload > 0)
    m_timer.start(m_stallMs);
}

void Downloader::timeout()
{
  abortWith(tr("The update server did not answer in time."));
}

void Downloader::cancel()
{
  abortWith(tr("The download was cancelled."));
}

void Downloader::abortWith(const QString &text)
{
  QNetworkReply *reply = m_reply;
  if (!reply)
    return;
  m_timer.stop();
  m_totalTimer.stop();
  m_abortReason = text;
  reply->abort();
  // Where the abort is not reported as a completion at once, complete now;
  // the later report then finds the reply stale and completes nothing.
  if (m_reply == reply)
    fileDownloaded(reply);
}

void Downloader::fileDownloaded(QNetworkReply *reply)
{
  if (reply) {
    reply->deleteLater();
    if (reply != m_reply)
      return; // stale: already completed
  } else if (!m_refused || m_state != Busy) {
    return;
  }
  m_reply = nullptr;
  m_refused = false;
  m_state = Idle;
  m_timer.stop();
  m_totalTimer.stop();

  QString failure = m_abortReason;
  m_abortReason.clear();
  if (failure.isEmpty() && reply) {
    const qint64 cap = m_infoMode ? m_maxInfoSize : m_maxFileSize;
    if (m_file.size() + reply->bytesAvailable() > cap)
      failure = tr("The reply is too large (more than %1 bytes).").arg(cap);
    else
      m_file += reply->readAll();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (failure.isEmpty() && reply->error() != QNetworkReply::NoError)
      failure = reply->errorString();
    if (failure.isEmpty() && status != 0 && (status < 200 || status > 299))
      failure = tr("The update server answered with status %1.").arg(status);
  }

  if (failure.isEmpty()) {
    if (m_infoMode) {
      m_error.clear();
      parse(m_file);
    } else if (isHTML(m_file)) {
      m_error = tr("Server does not have firmware file.");
      m_info = m_error;
    } else {
      m_error.clear();
    }
  } else {
    m_error = failure;
    m_info = failure;
    // A failed check names no firmware; a failed or cancelled download keeps
    // the link of the last good check, so that the download can be tried again.
    if (m_infoMode)
      m_link.clear();
    // Nothing of a failed download may ever be taken for the file.
    if (!m_infoMode)
      m_file.clear();
  }

  if (m_infoMode)
    emit downloadInfoComplete();
  else
    emit downloadFileComplete();
}

bool Downloader::parse(const QByteArray &bytes)
{
  QDomDocument document;
  QString message;
  int line = 0;
  int column = 0;
  auto fail = [this](const QString &text) {
    m_error = text;
    m_info = text;
    m_link.clear();
    return false;
  };
  if (!document.setContent(bytes, &message, &line, &column)) {
    qCWarning(DOWNLOADER) << "Wrong XML content: " << message << "[line " << line << " column " << column << "]";
    return fail(tr("The update server's reply could not be read (line %1, column %2).").arg(line).arg(column));
  }

  QString info;
  QString version;
  QString link;
  bool hasVersion = false;
  for (QDomNode node = document.documentElement().firstChild(); !node.isNull(); node = node.nextSibling()) {
    const QDomElement element = node.toElement();
    if (element.isNull())
      continue;
    const QString text = element.text();
    qDebug().noquote() << "Downloader::parse TAG:" << element.tagName() << " TEXT:" << text.left(200);
    if (element.tagName() == QLatin1String("INFO")) {
      info = text;
    } else if (element.tagName() == QLatin1String("VERSION")) {
      version = text.trimmed();
      hasVersion = true;
    } else if (element.tagName() == QLatin1String("LINK")) {
      link = text.trimmed();
    }
  }

  if (!hasVersion)
    return fail(tr("The update server's reply names no version."));
  if (version.size() > MaxVersionLength || version.split(QLatin1Char('.')).size() < 3)
    return fail(tr("The update server's reply names no valid version."));
  if (!link.isEmpty() && !acceptable(QUrl(link, QUrl::StrictMode)))
    return fail(tr("The update server's reply names an unsafe link: only https links are accepted."));

  m_info = info.isEmpty() ? QStringLiteral("Version info:") : info.left(MaxInfoLength);
  m_version = version;
  m_link = link;
  return true;
}

void Downloader::reset()
{
  if (!m_error.isNull())
    m_error.clear();
  if (!m_info.isNull())
    m_info.clear();
  if (!m_link.isNull())
    m_link.clear();
  m_file.clear();
}
