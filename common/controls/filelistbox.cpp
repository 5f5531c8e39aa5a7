#include "controls/filelistbox.h"

#include <QDir>

namespace common {

FileListBox::FileListBox(QWidget *parent)
    : RowList(parent) {}

void FileListBox::setPath(const QString &path) {
    m_path = path;
    refresh();
}

void FileListBox::setPattern(const QString &pattern) {
    m_pattern = pattern;
    refresh();
}

QString FileListBox::fileName() const {
    const int row = selectedRow();
    return row < 0 ? QString() : item(row)->text();
}

void FileListBox::refresh() {
    clear();
    if (m_path.isEmpty())
        return;
    const QDir dir(m_path);
    // Without QDir::CaseSensitive the name filter ignores letter case.
    addItems(dir.entryList(QStringList{m_pattern}, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

} // namespace common
