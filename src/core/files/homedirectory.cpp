#include "core/files/homedirectory.h"

#include <QDir>
#include <QFileInfo>

HomeDirectory::HomeDirectory(const QString &directory)
    : m_path(directory.isEmpty() ? QString()
                                 : QDir::cleanPath(QFileInfo(directory).absoluteFilePath())) {}

QString HomeDirectory::filePath(const QString &name) const {
    return m_path.endsWith(u'/') ? m_path + name : m_path + u'/' + name;
}
