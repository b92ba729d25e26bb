#pragma once
#include <QString>
#include <QTemporaryFile>
#include <memory>

namespace rek2::importxls {

// The file to read: the workbook itself, or a corrected copy that lives as
// long as this object.
class PackageCopy
{
public:
    explicit PackageCopy(QString original) : original_(std::move(original)) {}
    explicit PackageCopy(std::unique_ptr<QTemporaryFile> copy) : copy_(std::move(copy)) {}
    QString path() const { return copy_ ? copy_->fileName() : original_; }
    bool corrected() const { return copy_ != nullptr; }

private:
    QString original_;
    std::unique_ptr<QTemporaryFile> copy_;
};

// Some writers name the parts of an .xlsx package by absolute path
// (Target="/xl/worksheets/sheet1.xml"); the package format allows it, but
// the reader we use then finds no worksheet and reports an empty workbook.
// Such packages are copied with every internal target made relative.
// Throws ImportError when the file is no readable zip archive.
PackageCopy packageWithRelativeTargets(const QString& path);

// One relationships part with its absolute internal targets made relative
// to the folder of the part it describes (`relsName` is its name in the
// package, e.g. "xl/_rels/workbook.xml.rels"). External targets stay.
QByteArray relativeTargets(const QString& relsName, const QByteArray& rels);

} // namespace rek2::importxls
