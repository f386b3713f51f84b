#pragma once

// The words the overlay reader tells a user what a write would not keep in,
// and the counted list of those losses. Only the reader uses it.

#include <QHash>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <iterator>
#include <vector>

namespace Overlay::LossWords {

inline QString Count(qsizetype n)
{
    return QLocale(QLocale::English).toString(n);
}

// A kind of thing the file holds and a write drops: the words for one, and
// for several with %1 for the count (null: the same words however many).
struct ElementWords
{
    const char* element;
    const char* one;
    const char* many;
};

// Lost whole wherever they stand.
inline constexpr ElementWords kWholeThings[] = {
    {"Placemark", "a placemark", "%1 placemarks"},
    {"ScreenOverlay", "another screen overlay", "%1 more screen overlays"},
    {"GroundOverlay", "a ground overlay", "%1 ground overlays"},
    {"PhotoOverlay", "a photo overlay", "%1 photo overlays"},
    {"NetworkLink", "a network link", "%1 network links"},
    {"NetworkLinkControl", "a network link control", "%1 network link controls"},
    {"Style", "a style", "%1 styles"},
    {"StyleMap", "a style map", "%1 style maps"},
    {"Schema", "a schema", "%1 schemas"},
};

// A feature's own properties: the overlay's ("a description") or those of a
// folder around it ("the folder's description").
struct PropertyWords
{
    const char* element;
    const char* article;
    const char* noun;
    const char* nouns;
};
inline constexpr PropertyWords kProperties[] = {
    {"name", "a", "name", "names"},
    {"description", "a", "description", "descriptions"},
    {"visibility", "a", "visibility setting", "visibility settings"},
    {"open", "an", "open setting", "open settings"},
    {"Snippet", "a", "snippet", "snippets"},
    {"snippet", "a", "snippet", "snippets"},
    {"address", "an", "address", "addresses"},
    {"phoneNumber", "a", "phone number", "phone numbers"},
    {"styleUrl", "a", "style link", "style links"},
    {"Region", "a", "region", "regions"},
    {"TimeSpan", "a", "time span", "time spans"},
    {"TimeStamp", "a", "time stamp", "time stamps"},
    {"LookAt", "a", "look-at view", "look-at views"},
    {"Camera", "a", "camera view", "camera views"},
    {"ExtendedData", "", "extended data", "extended data blocks"},
    {"Metadata", "", "metadata", "metadata blocks"},
};

template <class Row, std::size_t N> const Row* Find(const Row (&table)[N], QStringView element)
{
    const auto* row = std::find_if(std::begin(table), std::end(table), [&](const Row& r) {
        return element == QLatin1String(r.element);
    });
    return row == std::end(table) ? nullptr : row;
}

// Counted losses, listed in the order the file first shows each kind.
class Losses
{
public:
    void Add(const QString& one, const QString& many, qsizetype at)
    {
        const auto found = index_.constFind(one);
        if (found != index_.cend()) {
            Entry& entry = entries_[std::size_t(*found)];
            ++entry.count;
            entry.at = std::min(entry.at, at);
            return;
        }
        index_.insert(one, qsizetype(entries_.size()));
        entries_.push_back({one, many, 1, at});
    }

    QStringList Words() const
    {
        std::vector<Entry> sorted = entries_;
        std::sort(sorted.begin(), sorted.end(),
                  [](const Entry& a, const Entry& b) { return a.at < b.at; });
        QStringList words;
        for (const Entry& entry : sorted)
            words << (entry.count == 1 || entry.many.isEmpty()
                          ? entry.one
                          : entry.many.arg(Count(entry.count)));
        return words;
    }

private:
    struct Entry
    {
        QString one;
        QString many;
        qsizetype count;
        qsizetype at;
    };
    QHash<QString, qsizetype> index_;
    std::vector<Entry> entries_;
};

struct Loss
{
    QString one;
    QString many;
    qsizetype at;
};

} // namespace Overlay::LossWords
