#include "SmtpTestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool sendLine(int socket, const QByteArray& line) {
    const QByteArray data = line + "\r\n";
    return ::send(socket, data.constData(), size_t(data.size()), MSG_NOSIGNAL) == data.size();
}

// Reads one line (without CRLF); false when the peer went away.
bool readLine(int socket, QByteArray& buffer, QByteArray& line) {
    for (;;) {
        const qsizetype end = buffer.indexOf("\r\n");
        if (end >= 0) {
            line = buffer.left(end);
            buffer.remove(0, end + 2);
            return true;
        }
        char chunk[4096];
        const ssize_t n = ::recv(socket, chunk, sizeof(chunk), 0);
        if (n <= 0)
            return false;
        buffer.append(chunk, n);
    }
}

QString addressOf(const QByteArray& command) {
    const qsizetype open = command.indexOf('<');
    const qsizetype close = command.lastIndexOf('>');
    return open >= 0 && close > open ? QString::fromUtf8(command.mid(open + 1, close - open - 1))
                                     : QString();
}

} // namespace

SmtpTestServer::SmtpTestServer() {
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
}

QList<SmtpTestServer::Mail> SmtpTestServer::mails() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mails;
}

void SmtpTestServer::run() {
    while (!m_stop) {
        pollfd listener{m_listener, POLLIN, 0};
        if (::poll(&listener, 1, 50) <= 0)
            continue;
        const int client = ::accept(m_listener, nullptr, nullptr);
        if (client >= 0) {
            session(client);
            ::close(client);
        }
    }
}

void SmtpTestServer::session(int client) {
    QByteArray buffer, line;
    Mail mail;
    sendLine(client, "220 localhost SMTP test server");
    while (readLine(client, buffer, line)) {
        const QByteArray command = line.left(4).toUpper();
        if (command == "EHLO" || command == "HELO") {
            sendLine(client, "250 localhost");
        } else if (command == "MAIL") {
            mail = Mail{addressOf(line), {}, {}};
            sendLine(client, "250 OK");
        } else if (command == "RCPT") {
            if (m_refuse > 0) {
                --m_refuse;
                ++m_refused;
                sendLine(client, "550 Recipient refused for the test");
                continue;
            }
            mail.recipients.append(addressOf(line));
            sendLine(client, "250 OK");
        } else if (command == "DATA") {
            sendLine(client, "354 End data with <CR><LF>.<CR><LF>");
            QByteArray data;
            while (readLine(client, buffer, line) && line != ".")
                data += (line.startsWith("..") ? line.mid(1) : line) + "\r\n";
            mail.data = data;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_mails.append(mail);
            }
            sendLine(client, "250 Accepted");
        } else if (command == "RSET" || command == "NOOP") {
            sendLine(client, "250 OK");
        } else if (command == "QUIT") {
            sendLine(client, "221 Bye");
            return;
        } else {
            sendLine(client, "502 Not implemented");
        }
    }
}
