// 取消 on a connect attempt to a server that never answers gives it up at
// once. A program of its own: the client library reads MYSQL_TCP_PORT once,
// when it is first used, so nothing here may reach a server before.
#include "db/Connection.h"
#include "support/BusyBox.h"
#include "text/Gbk.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace morvane::test {
namespace {

// A local port that takes connections (the system completes them) and
// never says a word.
class SilentServer {
public:
    SilentServer()
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
            ::listen(m_socket, 4) != 0 ||
            ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
    }
    ~SilentServer()
    {
        if (m_socket >= 0) ::close(m_socket);
    }
    int port() const { return m_port; }

private:
    int m_socket = -1;
    int m_port = 0;
};

TEST(StalledConnect, CancelGivesItUpAtOnce)
{
    SilentServer silent;
    ASSERT_NE(silent.port(), 0);
    const std::string savedPort = std::getenv("MYSQL_TCP_PORT") ? std::getenv("MYSQL_TCP_PORT") : "";
    setenv("MYSQL_TCP_PORT", std::to_string(silent.port()).c_str(), 1);
    QElapsedTimer sinceCancel;
    bool sawBox = false;
    QString shownWhat;
    QTimer::singleShot(500, qApp, [&] {
        QWidget *box = findBusyBox();
        sawBox = box != nullptr;
        ASSERT_NE(box, nullptr);
        shownWhat = box->findChild<QLabel *>(QStringLiteral("busyWhat"))->text();
        sinceCancel.start();
        QTest::mouseClick(box->findChild<QPushButton *>(QStringLiteral("busyCancel")), Qt::LeftButton);
    });
    const int connection = morvane::connect("127.0.0.1", "root", "");
    const qint64 returnedAfter = sinceCancel.isValid() ? sinceCancel.elapsed() : -1;
    setenv("MYSQL_TCP_PORT", savedPort.c_str(), 1);
    EXPECT_EQ(connection, 0);
    EXPECT_TRUE(sawBox);
    EXPECT_EQ(shownWhat, QStringLiteral("连接服务器…"));
    EXPECT_GE(returnedAfter, 0);
    EXPECT_LT(returnedAfter, 500);
    EXPECT_EQ(gbkToUtf8(lastConnectError()), "连接已取消");
}

} // namespace
} // namespace morvane::test
