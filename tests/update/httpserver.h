#ifndef HTTPSERVER_H
#define HTTPSERVER_H

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>
#include <QUrl>

class QTcpServer;
class QTcpSocket;

// What the scripted server answers on one path.
struct HttpReply
{
  int status = 200;
  QByteArray body;
  QByteArray contentType = "text/xml";
  // -1: the body's size; -2: no Content-Length (the body ends with the connection).
  qint64 contentLength = -1;
  // Sends this many bytes of the body, then nothing more, connection open.
  int stallAfter = -1;
  // Reads the request and never answers.
  bool silent = false;
  // Held until release(): replies can be sent in any order.
  bool hold = false;
  QByteArray location; // for redirects

  static HttpReply make(int status, const QByteArray &body, const QByteArray &type = "text/xml")
  {
    HttpReply reply;
    reply.status = status;
    reply.body = body;
    reply.contentType = type;
    return reply;
  }
  static HttpReply xml(const QByteArray &inner)
  {
    return make(200, "<?xml version=\"1.0\"?><UPDATE>" + inner + "</UPDATE>");
  }
};

Q_DECLARE_METATYPE(HttpReply)

// An HTTP(S) server on 127.0.0.1 for one test, answering each path as
// scripted and recording every request target as it arrived.
class HttpServer : public QObject
{
  Q_OBJECT
public:
  // With a certificate and key the server speaks TLS.
  explicit HttpServer(const QSslCertificate &certificate = QSslCertificate(), const QSslKey &key = QSslKey());
  ~HttpServer() override;

  QUrl url(const QString &path = QString()) const;
  void route(const QString &path, const HttpReply &reply) { m_routes[path] = reply; }
  // Answers the held requests of a path.
  void release(const QString &path);

  // Request targets ("/path?query"), in arrival order.
  QList<QUrl> requests;
  int connections = 0;

private:
  struct Held
  {
    QPointer<QTcpSocket> socket;
    QString path;
  };
  void accept();
  void readRequest(QTcpSocket *socket);
  void answer(QTcpSocket *socket, const HttpReply &reply);

  QTcpServer *m_server;
  bool m_tls;
  QMap<QString, HttpReply> m_routes;
  QList<Held> m_held;
  QMap<QTcpSocket *, QByteArray> m_buffers;
};

#endif // HTTPSERVER_H
