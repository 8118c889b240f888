#include "SmtpTestServer.h"

#include <QDir>
#include <QFile>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QString addressOf(const QByteArray& command) {
    const qsizetype open = command.indexOf('<');
    const qsizetype close = command.lastIndexOf('>');
    return open >= 0 && close > open ? QString::fromUtf8(command.mid(open + 1, close - open - 1))
                                     : QString();
}

// A key and a self-signed certificate for 127.0.0.1 and localhost, valid for
// a day around now, in a TLS context for the server side. The certificate is
// also written to pemPath for the client to trust.
SSL_CTX* makeTlsContext(const QString& pemPath) {
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* certificate = X509_new();
    X509_set_version(certificate, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate), 1);
    X509_gmtime_adj(X509_getm_notBefore(certificate), -3600);
    X509_gmtime_adj(X509_getm_notAfter(certificate), 86400);
    X509_set_pubkey(certificate, key);
    X509_NAME* name = X509_get_subject_name(certificate);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("Tessaly test server"), -1,
                               -1, 0);
    X509_set_issuer_name(certificate, name);
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
    const std::pair<int, const char*> extensions[] = {
        {NID_basic_constraints, "critical,CA:TRUE"},
        {NID_key_usage, "critical,digitalSignature,keyCertSign"},
        {NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost"},
        {NID_subject_key_identifier, "hash"}};
    for (const auto& [nid, value] : extensions) {
        X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
        X509_add_ext(certificate, extension, -1);
        X509_EXTENSION_free(extension);
    }
    X509_sign(certificate, key, EVP_sha256());

    BIO* pem = BIO_new(BIO_s_mem());
    PEM_write_bio_X509(pem, certificate);
    char* text = nullptr;
    const long length = BIO_get_mem_data(pem, &text);
    QFile file(pemPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(text, length) != length)
        qFatal("cannot write the test certificate %s", qPrintable(pemPath));
    file.close();
    BIO_free(pem);

    SSL_CTX* tls = SSL_CTX_new(TLS_server_method());
    if (SSL_CTX_use_certificate(tls, certificate) != 1 || SSL_CTX_use_PrivateKey(tls, key) != 1)
        qFatal("cannot set up the test server's TLS");
    X509_free(certificate);
    EVP_PKEY_free(key);
    return tls;
}

} // namespace

// One client: a socket, TLS on it once started, and what was read ahead.
struct SmtpTestServer::Connection {
    int socket;
    SSL* ssl = nullptr;
    QByteArray buffer;

    explicit Connection(int client)
        : socket(client) {}

    ~Connection() {
        if (ssl) {
            SSL_shutdown(ssl);
            SSL_free(ssl);
        }
    }

    bool startTls(SSL_CTX* context) {
        buffer.clear(); // nothing sent before the handshake counts after it
        ssl = SSL_new(context);
        SSL_set_fd(ssl, socket);
        if (SSL_accept(ssl) == 1)
            return true;
        ERR_clear_error();
        return false;
    }

    bool sendLine(const QByteArray& line) {
        const QByteArray data = line + "\r\n";
        if (ssl)
            return SSL_write(ssl, data.constData(), int(data.size())) == data.size();
        return ::send(socket, data.constData(), size_t(data.size()), MSG_NOSIGNAL) == data.size();
    }

    // Reads one line (without CRLF); false when the peer went away.
    bool readLine(QByteArray& line) {
        for (;;) {
            const qsizetype end = buffer.indexOf("\r\n");
            if (end >= 0) {
                line = buffer.left(end);
                buffer.remove(0, end + 2);
                return true;
            }
            char chunk[4096];
            const long n = ssl ? SSL_read(ssl, chunk, int(sizeof(chunk)))
                               : long(::recv(socket, chunk, sizeof(chunk), 0));
            if (n <= 0)
                return false;
            buffer.append(chunk, qsizetype(n));
        }
    }
};

SmtpTestServer::SmtpTestServer(Security security)
    : m_security(security) {
    if (security != Security::Plain)
        m_tls = makeTlsContext(QDir(m_dir.path()).filePath(QStringLiteral("server.pem")));
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    int yes = 1;
    ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    ::listen(m_listener, 8);
    socklen_t length = sizeof(address);
    ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { run(); });
}

SmtpTestServer::~SmtpTestServer() {
    m_stop = true;
    m_thread.join();
    ::close(m_listener);
    if (m_tls)
        SSL_CTX_free(m_tls);
}

QString SmtpTestServer::certificateFile() const {
    return m_tls ? QDir(m_dir.path()).filePath(QStringLiteral("server.pem")) : QString();
}

QList<SmtpTestServer::Mail> SmtpTestServer::mails() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mails;
}

QList<QByteArray> SmtpTestServer::commands() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_commands;
}

QList<SmtpTestServer::SignIn> SmtpTestServer::signIns() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_signIns;
}

bool SmtpTestServer::signInSeenInClear() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const SignIn& signIn : m_signIns)
        if (!signIn.encrypted)
            return true;
    for (const QByteArray& command : m_commands)
        if (command.toUpper().startsWith("AUTH") && !command.startsWith("[TLS] "))
            return true;
    return false;
}

void SmtpTestServer::record(const QByteArray& command) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_commands.append(command);
}

void SmtpTestServer::run() {
    while (!m_stop) {
        pollfd listener{m_listener, POLLIN, 0};
        if (::poll(&listener, 1, 50) <= 0)
            continue;
        const int client = ::accept(m_listener, nullptr, nullptr);
        if (client >= 0) {
            ++m_sessions;
            // A client that stops talking must not hold the server forever.
            timeval wait{10, 0};
            ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof(wait));
            session(client);
            ::close(client);
        }
    }
}

void SmtpTestServer::session(int client) {
    Connection connection(client);
    if (m_security == Security::ImplicitTls && !connection.startTls(m_tls))
        return;
    QByteArray line;
    Mail mail;
    connection.sendLine("220 localhost SMTP test server");
    while (connection.readLine(line)) {
        const bool encrypted = connection.ssl != nullptr;
        // Commands over TLS are marked, so a test sees what went in clear.
        record(encrypted ? "[TLS] " + line : line);
        const QByteArray command = line.left(4).toUpper();
        if (command == "EHLO" || command == "HELO") {
            connection.sendLine("250-localhost");
            if (m_security == Security::StartTls && !encrypted)
                connection.sendLine("250-STARTTLS");
            connection.sendLine("250 AUTH PLAIN");
        } else if (line.toUpper() == "STARTTLS" && m_security == Security::StartTls && !encrypted) {
            connection.sendLine("220 Ready to start TLS");
            if (!connection.startTls(m_tls))
                return;
        } else if (command == "AUTH") {
            // "AUTH PLAIN" with the credentials on the line or on the next one.
            QByteArray credentials = line.mid(11).trimmed();
            if (credentials.isEmpty()) {
                connection.sendLine("334 ");
                if (!connection.readLine(credentials))
                    return;
            }
            const QList<QByteArray> parts = QByteArray::fromBase64(credentials).split('\0');
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_signIns.append({parts.value(1), parts.value(2), encrypted});
            }
            connection.sendLine("235 Authentication successful");
        } else if (command == "MAIL") {
            mail = Mail{addressOf(line), {}, {}, encrypted};
            connection.sendLine("250 OK");
        } else if (command == "RCPT") {
            if (m_refuse > 0) {
                --m_refuse;
                ++m_refused;
                connection.sendLine("550 Recipient refused for the test");
                continue;
            }
            mail.recipients.append(addressOf(line));
            connection.sendLine("250 OK");
        } else if (command == "DATA") {
            connection.sendLine("354 End data with <CR><LF>.<CR><LF>");
            QByteArray data;
            while (connection.readLine(line) && line != ".")
                data += (line.startsWith("..") ? line.mid(1) : line) + "\r\n";
            mail.data = data;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_mails.append(mail);
            }
            connection.sendLine("250 Accepted");
        } else if (command == "RSET" || command == "NOOP") {
            connection.sendLine("250 OK");
        } else if (command == "QUIT") {
            connection.sendLine("221 Bye");
            return;
        } else {
            connection.sendLine("502 Not implemented");
        }
    }
}
