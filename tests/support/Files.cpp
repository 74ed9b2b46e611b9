#include "support/Files.h"

#include "base/AppError.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <csignal>
#include <sys/stat.h>

namespace TestSupport {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString& path, const QByteArray& bytes, QIODevice::OpenMode mode)
{
    QFile file(path);
    QVERIFY(file.open(mode));
    QCOMPARE(file.write(bytes), bytes.size());
}

QStringList capturedTexts(const QString& path)
{
    static const QRegularExpression stamp(
        QStringLiteral("\\r\\n\\r\\n===== [^\\r\\n]+ =====\\r\\n\\r\\n"));
    QStringList texts = QString::fromUtf8(fileBytes(path)).split(stamp);
    texts.removeFirst();
    for (QString& text : texts)
        text.chop(6);
    return texts;
}

quint64 inodeOf(const QString& path)
{
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? quint64(st.st_ino) : 0;
}

QString errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const AppError& error) {
        return error.message();
    }
    return QString();
}

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    const bool known = ::getrlimit(RLIMIT_FSIZE, &m_old) == 0;
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit lowered{bytes, m_old.rlim_max};
    m_ok = known && ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
}

FileSizeLimit::~FileSizeLimit()
{
    ::setrlimit(RLIMIT_FSIZE, &m_old);
    std::signal(SIGXFSZ, m_oldHandler);
}

} // namespace TestSupport
