#include "PdfImageReadBack.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

#include "TestSupport.h"

namespace tovra::test {

namespace fs = std::filesystem;

namespace {

// One qpdf JSON dump (version 2): its pages and its objects by "obj:N G R".
struct TDump {
    QJsonArray Pages;
    QJsonObject Objects;

    explicit TDump(const std::string& json) {
        const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
        Pages = root["pages"].toArray();
        Objects = root["qpdf"].toArray().at(1).toObject();
    }
    // The object a value names, when it is a reference ("7 0 R"); else the value itself.
    QJsonValue Resolve(const QJsonValue& value) const {
        const QString text = value.toString();
        if (!text.endsWith(" R")) return value;
        const QJsonObject object = Objects["obj:" + text].toObject();
        return object.contains("stream") ? object["stream"] : object["value"];
    }
    QJsonObject Stream(const QString& reference) const {
        return Objects["obj:" + reference].toObject()["stream"].toObject();
    }
};

std::string NameOf(const QJsonValue& value) { return value.toString().mid(1).toStdString(); }

// A PDF string: "b:" and hex digits, or "u:" and its text (bytes below 256 only).
std::string StringOf(const QJsonValue& value) {
    const QString text = value.toString();
    if (text.startsWith("b:")) return QByteArray::fromHex(text.mid(2).toLatin1()).toStdString();
    return text.mid(2).toLatin1().toStdString();
}

std::vector<int> IntegersOf(const QJsonValue& value) {
    std::vector<int> numbers;
    for (const QJsonValue& item : value.toArray()) numbers.push_back(item.toInt());
    return numbers;
}

std::string Base64Data(const QJsonObject& stream) {
    return QByteArray::fromBase64(stream["data"].toString().toLatin1()).toStdString();
}

// The colour space: a name, [/ICCBased profile] or [/Indexed base hival lookup].
void ReadSpace(const TDump& dump, const QJsonValue& space, TPdfPicture& picture) {
    const QJsonValue resolved = dump.Resolve(space);
    if (resolved.isString()) {
        picture.Space = NameOf(resolved);
        picture.Components = picture.Space == "DeviceRGB" ? 3 : picture.Space == "DeviceCMYK" ? 4 : 1;
        return;
    }
    const QJsonArray array = resolved.toArray();
    const std::string family = NameOf(array.at(0));
    if (family == "ICCBased") {
        const QJsonObject stream = dump.Resolve(array.at(1)).toObject();
        const QJsonObject profile = stream["dict"].toObject();
        picture.IccAlternate = NameOf(profile["/Alternate"]);
        picture.IccComponents = profile["/N"].toInt();
        picture.IccProfile = Base64Data(stream);
    } else if (family == "Indexed") {
        ReadSpace(dump, array.at(1), picture);
        picture.Palette = StringOf(dump.Resolve(array.at(3)));
    }
    picture.Space = family;
    picture.Components = family == "ICCBased" ? picture.IccComponents : 1;
}

std::shared_ptr<TPdfPicture> ReadPicture(const TDump& stored, const TDump& decoded, const QString& reference) {
    auto picture = std::make_shared<TPdfPicture>();
    const QJsonObject dict = stored.Stream(reference)["dict"].toObject();
    picture->Width = dict["/Width"].toInt();
    picture->Height = dict["/Height"].toInt();
    picture->Bits = dict["/BitsPerComponent"].toInt();
    ReadSpace(decoded, dict["/ColorSpace"], *picture);  // the profile decoded
    picture->Decode = IntegersOf(dict["/Decode"]);
    picture->ColorKey = IntegersOf(dict["/Mask"]);
    const QJsonValue filter = dict["/Filter"];
    for (const QJsonValue& name : filter.isArray() ? filter.toArray() : QJsonArray{filter})
        if (name.isString()) picture->Filters.push_back(NameOf(name));
    const QJsonValue parms = stored.Resolve(dict["/DecodeParms"]);
    const QJsonObject first = parms.isArray() ? parms.toArray().at(0).toObject() : parms.toObject();
    for (auto it = first.begin(); it != first.end(); ++it)
        picture->Parms[it.key().mid(1).toStdString()] = it.value().isBool() ? it.value().toBool() : it.value().toInt();
    picture->Raw = Base64Data(stored.Stream(reference));
    // qpdf leaves out /Filter when it could decode the data.
    const QJsonObject unfiltered = decoded.Stream(reference);
    if (!unfiltered["dict"].toObject().contains("/Filter")) picture->Samples = Base64Data(unfiltered);
    if (dict.contains("/SMask")) picture->SoftMask = ReadPicture(stored, decoded, dict["/SMask"].toString());
    return picture;
}

std::string QpdfJson(const fs::path& pdf, const char* level) {
    const std::string options = "--json=2 --json-key=pages --json-key=qpdf --json-stream-data=inline";
    return RunCommand("qpdf " + options + " --decode-level=" + level + " " + ShellQuote(pdf.string())).output;
}

int Rgb8(int value, int bits) { return bits == 16 ? value >> 8 : value * 255 / ((1 << bits) - 1); }

// The colour of (x, y) through /Decode and the palette, as 8-bit RGB.
QRgb ColourAt(const TPdfPicture& picture, int x, int y) {
    const int maximum = (1 << picture.Bits) - 1;
    if (picture.Space == "Indexed") {
        const auto at = static_cast<std::size_t>(SampleAt(picture, x, y, 0)) * 3;
        if (at + 3 > picture.Palette.size()) return qRgb(255, 0, 255);
        const auto* entry = reinterpret_cast<const unsigned char*>(picture.Palette.data()) + at;
        return qRgb(entry[0], entry[1], entry[2]);
    }
    int values[4] = {};
    for (int c = 0; c < picture.Components && c < 4; ++c) {
        int value = SampleAt(picture, x, y, c);
        if (picture.Decode.size() > std::size_t(2 * c + 1) && picture.Decode[2 * c] > picture.Decode[2 * c + 1])
            value = maximum - value;
        values[c] = Rgb8(value, picture.Bits);
    }
    switch (picture.Components) {
        case 1: return qRgb(values[0], values[0], values[0]);
        case 3: return qRgb(values[0], values[1], values[2]);
        default:
            return qRgb(255 - std::min(255, values[0] + values[3]), 255 - std::min(255, values[1] + values[3]),
                        255 - std::min(255, values[2] + values[3]));
    }
}

bool KeyedOut(const TPdfPicture& picture, int x, int y) {
    if (picture.ColorKey.empty()) return false;
    for (int c = 0; c < picture.Components; ++c) {
        const int value = SampleAt(picture, x, y, c);
        if (value < picture.ColorKey[2 * c] || value > picture.ColorKey[2 * c + 1]) return false;
    }
    return true;
}

}  // namespace

std::vector<TPdfPicture> PdfPictures(const fs::path& pdf) {
    const TDump stored(QpdfJson(pdf, "none"));
    const TDump decoded(QpdfJson(pdf, "all"));
    std::vector<TPdfPicture> pictures;
    for (int page = 0; page < stored.Pages.size(); ++page)
        for (const QJsonValue& image : stored.Pages.at(page).toObject()["images"].toArray()) {
            pictures.push_back(*ReadPicture(stored, decoded, image.toObject()["object"].toString()));
            pictures.back().Page = page + 1;
        }
    return pictures;
}

int SampleAt(const TPdfPicture& picture, int x, int y, int component) {
    const std::int64_t rowBytes = (std::int64_t{picture.Width} * picture.Components * picture.Bits + 7) / 8;
    const std::int64_t bit = (std::int64_t{x} * picture.Components + component) * picture.Bits;
    const auto* row = reinterpret_cast<const unsigned char*>(picture.Samples.data()) + y * rowBytes;
    if (picture.Bits == 16) return row[bit / 8] << 8 | row[bit / 8 + 1];
    if (picture.Bits == 8) return row[bit / 8];
    return (row[bit / 8] >> (8 - picture.Bits - bit % 8)) & ((1 << picture.Bits) - 1);
}

QImage ComposedPicture(const TPdfPicture& picture) {
    const std::int64_t rowBytes = (std::int64_t{picture.Width} * picture.Components * picture.Bits + 7) / 8;
    const auto needed = static_cast<std::size_t>(rowBytes * picture.Height);
    if (picture.Samples.size() != needed) return {};
    const TPdfPicture* mask = picture.SoftMask.get();
    if (mask && mask->Samples.size() * 8 < std::size_t(mask->Width) * mask->Height * mask->Bits) return {};
    QImage image(picture.Width, picture.Height, QImage::Format_RGBA8888);
    for (int y = 0; y < picture.Height; ++y)
        for (int x = 0; x < picture.Width; ++x) {
            const QRgb colour = ColourAt(picture, x, y);
            int alpha = KeyedOut(picture, x, y) ? 0 : 255;
            if (mask) alpha = Rgb8(SampleAt(*mask, x, y, 0), mask->Bits);
            unsigned char* pixel = image.scanLine(y) + 4 * x;
            pixel[0] = static_cast<unsigned char>(qRed(colour));
            pixel[1] = static_cast<unsigned char>(qGreen(colour));
            pixel[2] = static_cast<unsigned char>(qBlue(colour));
            pixel[3] = static_cast<unsigned char>(alpha);
        }
    return image;
}

QImage PopplerPicture(const fs::path& pdf, int page, const fs::path& dir) {
    const std::string number = std::to_string(page);
    const fs::path prefix = dir / ("poppler-" + number);
    RunCommand("pdfimages -f " + number + " -l " + number + " " + ShellQuote(pdf.string()) + " " +
               ShellQuote(prefix.string()));
    for (const char* extension : {".pbm", ".pgm", ".ppm"}) {
        const fs::path file = prefix.string() + "-000" + extension;
        if (fs::exists(file)) return QImage(QString::fromStdString(file.string()));
    }
    return {};
}

TRendering RenderPages(const fs::path& pdf, const fs::path& dir, bool cairo, int first, int last) {
    const std::string name = cairo ? "cairo" : "page", extension = cairo ? ".png" : ".ppm";
    const std::string limit = std::to_string(kRenderLimit);
    std::string command = cairo ? "pdftocairo -png" : "pdftoppm";
    command += " -r 72 -W " + limit + " -H " + limit + " -f " + std::to_string(first);
    if (last) command += " -l " + std::to_string(last);
    TRendering rendering;
    rendering.Messages = RunCommand(command + " " + ShellQuote(pdf.string()) + " " + ShellQuote((dir / name).string())).output;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename().string().starts_with(name + "-") && entry.path().extension() == extension)
            rendering.Pages.push_back(entry.path());
    // page-01.ppm ... page-99.ppm: as long as their numbers are, so sorting by name is page order.
    std::sort(rendering.Pages.begin(), rendering.Pages.end());
    return rendering;
}

int PixelsApart(const QImage& a, const QImage& b, int tolerance, bool alpha) {
    if (a.size() != b.size()) return -1;
    const QImage pa = a.convertToFormat(QImage::Format_RGBA8888), pb = b.convertToFormat(QImage::Format_RGBA8888);
    int apart = 0;
    for (int y = 0; y < pa.height(); ++y) {
        const unsigned char* p = pa.constScanLine(y);
        const unsigned char* q = pb.constScanLine(y);
        for (int x = 0; x < pa.width() * 4; x += 4) {
            bool differs = false;
            for (int c = 0; c < (alpha ? 4 : 3); ++c) differs |= std::abs(p[x + c] - q[x + c]) > tolerance;
            apart += differs;
        }
    }
    return apart;
}

double MeanDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.isNull()) return 255;
    const QImage pa = a.convertToFormat(QImage::Format_RGBA8888), pb = b.convertToFormat(QImage::Format_RGBA8888);
    double total = 0;
    for (int y = 0; y < pa.height(); ++y) {
        const unsigned char* p = pa.constScanLine(y);
        const unsigned char* q = pb.constScanLine(y);
        for (int x = 0; x < pa.width() * 4; x += 4)
            total += std::abs(p[x] - q[x]) + std::abs(p[x + 1] - q[x + 1]) + std::abs(p[x + 2] - q[x + 2]);
    }
    return total / (3.0 * pa.width() * pa.height());
}

QImage LaidOnWhite(const QImage& picture) {
    QImage white(picture.size(), QImage::Format_RGB32);
    white.fill(Qt::white);
    const QImage source = picture.convertToFormat(QImage::Format_RGBA8888);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x) {
            const unsigned char* p = source.constScanLine(y) + 4 * x;
            auto over = [&](int c) { return (p[c] * p[3] + 255 * (255 - p[3]) + 127) / 255; };
            white.setPixel(x, y, qRgb(over(0), over(1), over(2)));
        }
    return white;
}

}  // namespace tovra::test
