// Packs an HTML page and the files it uses into one MHTML archive, the form in which
// the usage guide sits next to the executable:
//   quillor_pack_mhtml OUTPUT.mht PAGE.html [RESOURCE ...]
// Resources are found by the page through their file names, relative to the page.
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace {

const QByteArray kBoundary = "----=_QuillorDic_Guide_Part";
const QByteArray kBase = "http://quillordic.invalid/guide/";

QByteArray ContentType(const QString& name) {
    const QString suffix = QFileInfo(name).suffix().toLower();
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm")) return "text/html; charset=\"utf-8\"";
    if (suffix == QLatin1String("css")) return "text/css; charset=\"utf-8\"";
    if (suffix == QLatin1String("png")) return "image/png";
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) return "image/jpeg";
    if (suffix == QLatin1String("svg")) return "image/svg+xml";
    return "application/octet-stream";
}

bool AppendPart(QByteArray& archive, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return false;
    }
    const QByteArray base64 = file.readAll().toBase64();
    archive += "--" + kBoundary + "\r\n";
    archive += "Content-Type: " + ContentType(path) + "\r\n";
    archive += "Content-Transfer-Encoding: base64\r\n";
    archive += "Content-Location: " + kBase + QFileInfo(path).fileName().toUtf8() + "\r\n\r\n";
    for (qsizetype at = 0; at < base64.size(); at += 76) archive += base64.mid(at, 76) + "\r\n";
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTPUT.mht PAGE.html [RESOURCE ...]\n", argv[0]);
        return 2;
    }
    QByteArray archive;
    archive += "From: <QuillorDic>\r\n";
    archive += "Subject: QuillorDic\r\n";
    archive += "MIME-Version: 1.0\r\n";
    archive += "Content-Type: multipart/related; type=\"text/html\"; boundary=\"" + kBoundary + "\"\r\n\r\n";
    for (int i = 2; i < argc; ++i)
        if (!AppendPart(archive, QString::fromLocal8Bit(argv[i]))) return 1;
    archive += "--" + kBoundary + "--\r\n";

    QSaveFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(archive) != archive.size() || !out.commit()) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
