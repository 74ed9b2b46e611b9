#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

// Recognises clipboard contents that their owner has marked as not to be
// kept by clipboard history tools (password managers do this), so that
// automatic collection leaves them alone.
namespace ClipboardSecrets {

// True when a copy's formats, and the content of those whose content
// decides (needsContent), carry one of these marks:
// - "x-kde-passwordManagerHint" with the value "secret" (KDE, X11, Wayland);
// - the Windows formats "ExcludeClipboardContentFromMonitorProcessing" or
//   "Clipboard Viewer Ignore", whatever their content;
// - the Windows format "CanIncludeInClipboardHistory" holding the DWORD 0.
// Windows format names are matched in every spelling Qt offers them under
// (the bare name or application/x-qt-windows-mime;value="name"), ignoring
// letter case as Windows does. A mark whose content is missing from
// content (not read, or not delivered) does not count.
bool isSecret(const QStringList& formats, const QHash<QString, QByteArray>& content);

// Whether the format is a mark whose content isSecret needs.
bool needsContent(const QString& format);

// The Windows clipboard format a MIME type stands for: the quoted value of
// an application/x-qt-windows-mime type, otherwise the type itself.
QString windowsFormatName(const QString& mimeType);

} // namespace ClipboardSecrets
