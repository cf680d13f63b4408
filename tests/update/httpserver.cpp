#include "httpserver.h"

#include <QSslConfiguration>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>

HttpServer::HttpServer(const QSslCertificate &certificate, const QSslKey &key)
  : m_tls(!certificate.isNull())
{
  if (m_tls) {
    auto *server = new QSslServer(this);
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(certificate);
    configuration.setPrivateKey(key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    server->setSslConfiguration(configuration);
    m_server = server;
  } else {
    m_server = new QTcpServer(this);
  }
  connect(m_server, &QTcpServer::pendingConnectionAvailable, this, &HttpServer::accept);
  m_server->listen(QHostAddress::LocalHost);
}

HttpServer::~HttpServer()
{
  m_server->close();
}

QUrl HttpServer::url(const QString &path) const
{
  return QUrl(QStringLiteral("%1://127.0.0.1:%2%3")
                .arg(m_tls ? QStringLiteral("https") : QStringLiteral("http"))
                .arg(m_server->serverPort())
                .arg(path));
}

void HttpServer::accept()
{
  while (QTcpSocket *socket = m_server->nextPendingConnection()) {
    ++connections;
    socket->setParent(this);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QObject::destroyed, this, [this, socket] { m_buffers.remove(socket); });
  }
}

void HttpServer::readRequest(QTcpSocket *socket)
{
  QByteArray &buffer = m_buffers[socket];
  buffer += socket->readAll();
  const int end = buffer.indexOf("\r\n\r\n");
  if (end < 0)
    return;
  const QByteArray head = buffer.left(end);
  buffer.remove(0, end + 4);
  const QList<QByteArray> first = head.left(head.indexOf("\r\n")).split(' ');
  const QUrl target(QString::fromLatin1(first.value(1)));
  requests.append(target);
  const QString path = target.path();
  const HttpReply reply = m_routes.value(path, HttpReply::make(404, "<html><body>Not Found</body></html>", "text/html"));
  if (reply.silent)
    return;
  if (reply.hold) {
    m_held.append({socket, path});
    return;
  }
  answer(socket, reply);
}

void HttpServer::release(const QString &path)
{
  for (int i = 0; i < m_held.size();) {
    if (m_held.at(i).path != path) {
      ++i;
      continue;
    }
    const Held held = m_held.takeAt(i);
    if (held.socket)
      answer(held.socket, m_routes.value(path));
  }
}

void HttpServer::answer(QTcpSocket *socket, const HttpReply &reply)
{
  const QByteArray reason = reply.status == 200   ? "OK"
                            : reply.status == 302 ? "Found"
                            : reply.status == 404 ? "Not Found"
                                                  : "Scripted";
  QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + " " + reason + "\r\n";
  head += "Content-Type: " + reply.contentType + "\r\n";
  if (reply.contentLength != -2)
    head += "Content-Length: " +
            QByteArray::number(reply.contentLength == -1 ? reply.body.size() : reply.contentLength) + "\r\n";
  if (!reply.location.isEmpty())
    head += "Location: " + reply.location + "\r\n";
  head += "Connection: close\r\n\r\n";
  socket->write(head);
  if (reply.stallAfter >= 0) {
    socket->write(reply.body.left(reply.stallAfter));
    return; // and nothing more
  }
  socket->write(reply.body);
  socket->disconnectFromHost();
}
