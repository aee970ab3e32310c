#include "exchange/documentDiff.h"

#include "core/memoryImage.h"
#include "core/modelIdentity.h"
#include "exchange/exchangeLists.h"
#include "radio/listRecord.h"
#include "radio/settingFields.h"
#include "sheets/cellNames.h"

#include <cstdio>
#include <map>
#include <optional>

namespace marlo {

namespace {

// Bits of the image, by address, that one entry or setting keeps.
using OwnedBits = std::map<std::int32_t, std::uint8_t>;

constexpr std::size_t kBytesPerLine = 16;

// The bits a list entry's record writes: stored from an image of all-ones bytes
// into one of all-zero bytes and the other way round, every bit it writes shows.
OwnedBits entryBits(std::uint8_t listType, std::int32_t index) {
    OwnedBits owned;
    for (const std::uint8_t from : {0xFF, 0x00}) {
        MemoryImage source;
        MemoryImage target;
        source.Resize(marloModel::imageSize);
        target.Resize(marloModel::imageSize);
        std::fill_n(source.Data(), marloModel::imageSize, from);
        const auto other = static_cast<std::uint8_t>(~from);
        std::fill_n(target.Data(), marloModel::imageSize, other);
        ListRecord entry(&source);
        entry.Load(listType, index);
        entry.Bind(&target);
        entry.Store(listType, index);
        for (std::int32_t a = 0; a < marloModel::imageSize; ++a) {
            const auto changed = static_cast<std::uint8_t>(target.Data()[a] ^ other);
            if (changed != 0)
                owned[a] |= changed;
        }
    }
    return owned;
}

OwnedBits settingBits(std::int32_t label) {
    OwnedBits owned;
    for (const SettingField& f : settingFields()) {
        if (f.label != label)
            continue;
        for (std::int32_t a = f.address; a < f.address + f.length; ++a)
            owned[a] |= f.mask;
    }
    return owned;
}

// The owned bits of every row of every exchanged list, list by list, and all
// of them together; worked out once.
struct KnownBits {
    std::vector<std::vector<OwnedBits>> rows;
    std::vector<std::uint8_t> all;
};

const KnownBits& knownBits() {
    static const KnownBits known = [] {
        KnownBits k;
        k.all.assign(static_cast<std::size_t>(marloModel::imageSize), 0);
        for (const ExchangeList& list : exchangeLists()) {
            std::vector<OwnedBits>& rows = k.rows.emplace_back();
            for (const ExchangeRow& row : list.rows) {
                rows.push_back(row.label >= 0
                                   ? settingBits(row.label)
                                   : entryBits(static_cast<std::uint8_t>(listTypeOf(row.category)),
                                               row.index));
                for (const auto& [address, bits] : rows.back())
                    k.all[static_cast<std::size_t>(address)] |= bits;
            }
        }
        return k;
    }();
    return known;
}

bool inRanges(std::int32_t address, std::span<const AddressRange> ranges, std::int32_t size) {
    bool inside = false;
    forEachRange(ranges, size, [&](std::int32_t first, std::int32_t last) {
        inside = inside || (address >= first && address <= last);
    });
    return inside;
}

std::string shownValue(const std::string& text) {
    return text.empty() ? "(empty)" : text;
}

std::string hexAddress(std::int32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(address));
    return text;
}

std::string hexBytes(const MemoryImage& image, std::int32_t first, std::int32_t last) {
    std::string text;
    char byte[4];
    for (std::int32_t a = first; a <= last; ++a) {
        std::snprintf(byte, sizeof byte, "%s%02X", a == first ? "" : " ", image.Data()[a]);
        text += byte;
    }
    return text;
}

// The first address of `owned` where the two images differ in an owned bit.
std::optional<std::int32_t> ownedDifference(const OwnedBits& owned, const MemoryImage& a,
                                            const MemoryImage& b,
                                            std::span<const AddressRange> ranges) {
    for (const auto& [address, bits] : owned) {
        if (((a.Data()[address] ^ b.Data()[address]) & bits) != 0 &&
            inRanges(address, ranges, a.Size()))
            return address;
    }
    return std::nullopt;
}

void compareLists(CellContext& context, DiffSide a, DiffSide b,
                  std::span<const AddressRange> ranges, std::vector<DiffRow>& rows) {
    ExchangeCells cellsA(context, a.image, a.variant);
    ExchangeCells cellsB(context, b.image, b.variant);
    const KnownBits& known = knownBits();
    for (std::size_t l = 0; l < exchangeLists().size(); ++l) {
        const ExchangeList& list = exchangeLists()[l];
        for (std::size_t r = 0; r < list.rows.size(); ++r) {
            const ExchangeRow& row = list.rows[r];
            bool shownDiffers = false;
            for (std::size_t c = 0; c < list.columns.size(); ++c) {
                std::string ta = cellsA.Show(row, list.columns[c]).text;
                std::string tb = cellsB.Show(row, list.columns[c]).text;
                if (ta == tb)
                    continue;
                shownDiffers = true;
                DiffRow& d = rows.emplace_back();
                d.list = l;
                d.row = r;
                d.column = c;
                d.mine = std::move(ta);
                d.other = std::move(tb);
            }
            if (shownDiffers)
                continue;
            if (const auto at = ownedDifference(known.rows[l][r], a.image, b.image, ranges)) {
                DiffRow& d = rows.emplace_back();
                d.kind = DiffRow::Kind::HiddenBytes;
                d.list = l;
                d.row = r;
                d.first = d.last = *at;
                d.mine = hexBytes(a.image, *at, *at);
                d.other = hexBytes(b.image, *at, *at);
            }
        }
    }
}

// Bytes that differ in bits no entry or setting keeps, a run of at most 16 a row.
void compareOtherBytes(const MemoryImage& a, const MemoryImage& b,
                       std::span<const AddressRange> ranges, std::vector<DiffRow>& rows) {
    const std::vector<std::uint8_t>& known = knownBits().all;
    const std::int32_t size = std::min(a.Size(), b.Size());
    auto differs = [&](std::int32_t at) {
        return ((a.Data()[at] ^ b.Data()[at]) & ~known[static_cast<std::size_t>(at)]) != 0;
    };
    forEachRange(ranges, size, [&](std::int32_t first, std::int32_t last) {
        std::int32_t at = first;
        while (at <= last) {
            if (!differs(at)) {
                ++at;
                continue;
            }
            std::int32_t end = at;
            while (end < last && differs(end + 1) &&
                   static_cast<std::size_t>(end + 1 - at) < kBytesPerLine)
                ++end;
            DiffRow& d = rows.emplace_back();
            d.kind = DiffRow::Kind::OtherBytes;
            d.first = at;
            d.last = end;
            d.mine = hexBytes(a, at, end);
            d.other = hexBytes(b, at, end);
            at = end + 1;
        }
    });
}

bool fullSize(const DiffSide& a, const DiffSide& b) {
    return a.image.Size() >= marloModel::imageSize && b.image.Size() >= marloModel::imageSize;
}

} // namespace

std::vector<DiffRow> compareDocuments(CellContext& context, DiffSide a, DiffSide b,
                                      std::span<const AddressRange> ranges) {
    std::vector<DiffRow> rows;
    if (!fullSize(a, b))
        return rows;
    compareLists(context, a, b, ranges, rows);
    compareOtherBytes(a.image, b.image, ranges, rows);
    return rows;
}

void takeDiffBytes(const DiffRow& d, const MemoryImage& from, MemoryImage& to) {
    const auto take = [&](std::int32_t address, std::uint8_t bits) {
        if (address < 0 || address >= from.Size() || address >= to.Size())
            return;
        std::uint8_t& byte = to.Data()[address];
        byte = static_cast<std::uint8_t>((byte & ~bits) | (from.Data()[address] & bits));
    };
    if (d.kind == DiffRow::Kind::HiddenBytes) {
        for (const auto& [address, bits] : knownBits().rows[d.list][d.row])
            take(address, bits);
    } else if (d.kind == DiffRow::Kind::OtherBytes) {
        const std::vector<std::uint8_t>& known = knownBits().all;
        for (std::int32_t a = d.first; a <= d.last; ++a)
            if (a >= 0 && static_cast<std::size_t>(a) < known.size())
                take(a, static_cast<std::uint8_t>(~known[static_cast<std::size_t>(a)]));
    }
}

std::string describeDiffRow(const DiffRow& d) {
    if (d.kind == DiffRow::Kind::OtherBytes)
        return (d.first == d.last ? "byte " + hexAddress(d.first)
                                  : "bytes " + hexAddress(d.first) + ".." + hexAddress(d.last)) +
               ": " + d.mine + " -> " + d.other;
    const ExchangeList& list = exchangeLists()[d.list];
    const ExchangeRow& row = list.rows[d.row];
    const std::string where =
        list.name + " " + (row.label >= 0 ? row.key : list.keyHeader + " " + row.key) + ": ";
    if (d.kind == DiffRow::Kind::HiddenBytes)
        return where + "stored bytes differ where nothing shown differs (" + hexAddress(d.first) +
               ")";
    return where + (row.label >= 0 ? "" : list.columns[d.column].header + " ") +
           shownValue(d.mine) + " -> " + shownValue(d.other);
}

std::vector<std::string> diffDocuments(CellContext& context, DiffSide a, DiffSide b,
                                       std::span<const AddressRange> ranges) {
    if (!fullSize(a, b))
        return {"the images are not of this radio's size"};
    std::vector<std::string> lines;
    for (const DiffRow& d : compareDocuments(context, a, b, ranges))
        lines.push_back(describeDiffRow(d));
    return lines;
}

} // namespace marlo
