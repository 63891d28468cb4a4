#pragma once

#include <QString>

// The home directory: the folder of the control file, the price list and the report, and of every
// other file the user keeps with them. Holds the directory as an absolute path and knows the
// names of its three files, so that no other code spells them or joins them to the path.
class HomeDirectory {
public:
    HomeDirectory() = default;
    // `directory` with or without a separator at its end; a relative path is taken from the
    // current directory.
    explicit HomeDirectory(const QString &directory);

    static QString controlFileName() { return QStringLiteral("trad.sty"); }
    static QString priceListName() { return QStringLiteral("priser_ac.txt"); }
    static QString reportName() { return QStringLiteral("resultat.txt"); }

    // The directory itself, absolute, with "/" as separator and none at its end (but for a root
    // such as "/" or "C:/").
    QString path() const { return m_path; }
    // The file `name` in the directory.
    QString filePath(const QString &name) const;

    QString controlFile() const { return filePath(controlFileName()); }
    QString priceList() const { return filePath(priceListName()); }
    QString report() const { return filePath(reportName()); }

    bool isEmpty() const { return m_path.isEmpty(); }
    bool operator==(const HomeDirectory &) const = default;

private:
    QString m_path;
};
