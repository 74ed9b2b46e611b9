#include "core/ClipboardSecrets.h"

#include <QtEndian>

namespace {

const QLatin1String kKdeHint("x-kde-passwordManagerHint");
const QLatin1String kExcludeFormat("ExcludeClipboardContentFromMonitorProcessing");
const QLatin1String kViewerIgnoreFormat("Clipboard Viewer Ignore");
const QLatin1String kHistoryFormat("CanIncludeInClipboardHistory");
const QLatin1String kWindowsMimePrefix("application/x-qt-windows-mime;value=\"");

bool isHistoryFormat(const QString& type)
{
    return ClipboardSecrets::windowsFormatName(type).compare(kHistoryFormat, Qt::CaseInsensitive) ==
           0;
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

bool needsContent(const QString& format)
{
    return format == kKdeHint || isHistoryFormat(format);
}

bool isSecret(const QStringList& formats, const QHash<QString, QByteArray>& content)
{
    for (const QString& type : formats) {
        if (type == kKdeHint && content.value(type).trimmed() == "secret")
            return true;
        const QString format = windowsFormatName(type);
        if (format.compare(kExcludeFormat, Qt::CaseInsensitive) == 0 ||
            format.compare(kViewerIgnoreFormat, Qt::CaseInsensitive) == 0)
            return true;
        // A DWORD; 0 forbids keeping the contents.
        const QByteArray value = content.value(type);
        if (isHistoryFormat(type) && value.size() == 4 &&
            qFromLittleEndian<quint32>(value.constData()) == 0)
            return true;
    }
    return false;
}

} // namespace ClipboardSecrets
