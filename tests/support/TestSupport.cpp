#include "support/TestSupport.h"

#include "base/AppError.h"
#include "core/ClipboardMonitor.h"
#include "core/ErrorReporter.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>

namespace TestSupport {

ScopedRegistry::ScopedRegistry()
    : m_dir(std::make_unique<QTemporaryDir>()), m_previous(qgetenv("CLIPSTOW_REGISTRY")),
      m_hadPrevious(qEnvironmentVariableIsSet("CLIPSTOW_REGISTRY"))
{
    qputenv("CLIPSTOW_REGISTRY", filePath().toLocal8Bit());
    reopen();
}

void ScopedRegistry::reopen(const std::function<void()>& whileClosed)
{
    m_saveSound.reset();
    m_settings.reset();
    m_store.reset();
    if (whileClosed)
        whileClosed();
    m_store = std::make_unique<RegistryStore>(filePath());
    m_settings = std::make_unique<Settings>(
        *m_store, [this](const AppError& failure) { m_errors.showFailure(failure); });
    m_saveSound = std::make_unique<SaveSound>(m_settings.get(), m_soundOutput);
}

ScopedRegistry::~ScopedRegistry()
{
    if (m_hadPrevious)
        qputenv("CLIPSTOW_REGISTRY", m_previous);
    else
        qunsetenv("CLIPSTOW_REGISTRY");
}

QString ScopedRegistry::filePath() const
{
    return m_dir->filePath(QStringLiteral("registry.sqlite3"));
}

void seedReturningUser(Settings& settings)
{
    settings.setAcceptedLicense(QStringLiteral("12/1/2026 9:00:00 AM"));
    settings.setShowSplash(false);
}

QString builtProgram(const QString& name)
{
    const QString dir = QStringLiteral(CLIPSTOW_BINARY_DIR);
    for (const QString& sub : {QStringLiteral("src"), QStringLiteral("tools"), QString()}) {
        const QString path =
            QDir(dir).filePath(sub.isEmpty() ? name : sub + QLatin1Char('/') + name);
        if (QFileInfo(path).isExecutable())
            return path;
    }
    return QDir(dir).filePath(name);
}

void startProgram(QProcess& process, const QProcessEnvironment& env, const QString& folder)
{
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(folder);
    process.start(builtProgram(QStringLiteral("clipstow")), {});
}

std::unique_ptr<Collector> makeCollector(Settings& settings, ErrorReporter& errors,
                                         SaveSound& sound)
{
    auto collector = std::make_unique<Collector>(settings, errors, sound);
    collector->setClipboardMonitor(new ClipboardMonitor(createClipboardSource(), collector.get()));
    return collector;
}

bool captureAndWait(Collector& collector, Collector::Trigger trigger)
{
    QSignalSpy ended(&collector, &Collector::captureEnded);
    collector.captureInto(collector.activeSlot(), trigger);
    return !ended.isEmpty() || ended.wait();
}

} // namespace TestSupport
