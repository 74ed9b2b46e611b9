#include "core/ClipboardSecrets.h"

#include <QMimeData>
#include <QString>
#include <QStringList>
#include <QtEndian>

namespace {

const QLatin1String kKdeHint("x-kde-passwordManagerHint");
const QLatin1String kExcludeFormat("ExcludeClipboardContentFromMonitorProcessing");
const QLatin1String kViewerIgnoreFormat("Clipboard Viewer Ignore");
const QLatin1String kHistoryFormat("CanIncludeInClipboardHistory");
const QLatin1String kWindowsMimePrefix("application/x-qt-windows-mime;value=\"");

bool isKdeSecret(const QMimeData& data, const QString& type)
{
    return type == kKdeHint && data.data(type).trimmed() == "secret";
}

// "CanIncludeInClipboardHistory" is a DWORD; 0 forbids keeping the contents.
bool excludedFromHistory(const QMimeData& data, const QString& type)
{
    const QByteArray value = data.data(type);
    return value.size() == 4 && qFromLittleEndian<quint32>(value.constData()) == 0;
}

} // namespace

namespace ClipboardSecrets {

QString windowsFormatName(const QString& mimeType)
{
    if (mimeType.startsWith(kWindowsMimePrefix, Qt::CaseInsensitive) &&
        mimeType.endsWith(QLatin1Char('"')) && mimeType.size() > kWindowsMimePrefix.size())
        return mimeType.mid(kWindowsMimePrefix.size(),
                            mimeType.size() - kWindowsMimePrefix.size() - 1);
    return mimeType;
}

bool isSecret(const QMimeData* data)
{
    if (!data)
        return false;
    const QStringList types = data->formats();
    for (const QString& type : types) {
        if (isKdeSecret(*data, type))
            return true;
        const QString format = windowsFormatName(type);
        if (format.compare(kExcludeFormat, Qt::CaseInsensitive) == 0 ||
            format.compare(kViewerIgnoreFormat, Qt::CaseInsensitive) == 0)
            return true;
        if (format.compare(kHistoryFormat, Qt::CaseInsensitive) == 0 &&
            excludedFromHistory(*data, type))
            return true;
    }
    return false;
}

} // namespace ClipboardSecrets
