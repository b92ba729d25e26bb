// .xlsx and .ods through liborcus: our own import factory receives the cells
// of the first worksheet straight into a SheetTable (no document model).
#include "import/date_formats.h"
#include "import/inline_strings.h"
#include "import/ods_repeats.h"
#include "import/package_fix.h"
#include "import/workbook.h"

#include <orcus/orcus_ods.hpp>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/import_interface.hpp>

#include <QFile>
#include <cmath>
#include <unordered_map>

namespace rek2::importxls {

namespace {

namespace ss = orcus::spreadsheet;
namespace iface = orcus::spreadsheet::iface;

// Cell positions from liborcus are 0-based.
int r1(ss::row_t r)
{
    return static_cast<int>(r) + 1;
}
int c1(ss::col_t c)
{
    return static_cast<int>(c) + 1;
}

class SharedStrings final : public iface::import_shared_strings
{
public:
    explicit SharedStrings(SheetTable& table) : table_(table) {}
    size_t append(std::string_view s) override { return table_.addText(s); }
    size_t add(std::string_view s) override { return table_.addText(s); }
    void set_segment_font(size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t,
                                ss::color_elem_t) override
    {
    }
    void append_segment(std::string_view s) override { segments_.append(s); }
    size_t commit_segments() override
    {
        const size_t index = table_.addText(segments_);
        segments_.clear();
        return index;
    }

private:
    SheetTable& table_;
    std::string segments_;
};

// Only number formats matter: an .xlsx date is a number whose cell format
// has a date format. Everything else of the styles is ignored.
class Styles final : public iface::import_styles
{
public:
    // The number format id of a cell format (xf) index.
    bool isDateXf(size_t xf) const
    {
        if (xf >= xfFormats_.size())
            return false;
        const size_t id = xfFormats_[xf];
        auto it = codes_.find(id);
        return it != codes_.end() ? isDateFormatCode(it->second) : isBuiltinDateFormat(static_cast<int>(id));
    }

    void set_number_format_count(size_t) override {}
    void set_number_format_identifier(size_t id) override { pendingId_ = id; }
    void set_number_format_code(std::string_view s) override { pendingCode_ = s; }
    size_t commit_number_format() override
    {
        codes_[pendingId_] = pendingCode_;
        pendingCode_.clear();
        return numberFormats_++;
    }
    void set_cell_xf_count(size_t) override {}
    void set_xf_number_format(size_t index) override { xfFormat_ = index; }
    size_t commit_cell_xf() override
    {
        xfFormats_.push_back(xfFormat_);
        xfFormat_ = 0;
        return xfFormats_.size() - 1;
    }
    size_t commit_cell_style_xf() override
    {
        xfFormat_ = 0;
        return styleXfs_++;
    }
    size_t commit_dxf() override
    {
        xfFormat_ = 0;
        return dxfs_++;
    }

    void set_font_count(size_t) override {}
    void set_font_bold(bool) override {}
    void set_font_italic(bool) override {}
    void set_font_name(std::string_view) override {}
    void set_font_size(double) override {}
    void set_font_underline(ss::underline_t) override {}
    void set_font_underline_width(ss::underline_width_t) override {}
    void set_font_underline_mode(ss::underline_mode_t) override {}
    void set_font_underline_type(ss::underline_type_t) override {}
    void set_font_underline_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t,
                                  ss::color_elem_t) override
    {
    }
    void set_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    void set_strikethrough_style(ss::strikethrough_style_t) override {}
    void set_strikethrough_type(ss::strikethrough_type_t) override {}
    void set_strikethrough_width(ss::strikethrough_width_t) override {}
    void set_strikethrough_text(ss::strikethrough_text_t) override {}
    size_t commit_font() override { return fonts_++; }
    void set_fill_count(size_t) override {}
    void set_fill_pattern_type(ss::fill_pattern_t) override {}
    void set_fill_fg_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    void set_fill_bg_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    size_t commit_fill() override { return fills_++; }
    void set_border_count(size_t) override {}
    void set_border_style(ss::border_direction_t, ss::border_style_t) override {}
    void set_border_color(ss::border_direction_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t,
                          ss::color_elem_t) override
    {
    }
    void set_border_width(ss::border_direction_t, double, orcus::length_unit_t) override {}
    size_t commit_border() override { return borders_++; }
    void set_cell_hidden(bool) override {}
    void set_cell_locked(bool) override {}
    void set_cell_print_content(bool) override {}
    void set_cell_formula_hidden(bool) override {}
    size_t commit_cell_protection() override { return protections_++; }
    void set_cell_style_xf_count(size_t) override {}
    void set_dxf_count(size_t) override {}
    void set_xf_font(size_t) override {}
    void set_xf_fill(size_t) override {}
    void set_xf_border(size_t) override {}
    void set_xf_protection(size_t) override {}
    void set_xf_style_xf(size_t) override {}
    void set_xf_apply_alignment(bool) override {}
    void set_xf_horizontal_alignment(ss::hor_alignment_t) override {}
    void set_xf_vertical_alignment(ss::ver_alignment_t) override {}
    void set_cell_style_count(size_t) override {}
    void set_cell_style_name(std::string_view) override {}
    void set_cell_style_xf(size_t) override {}
    void set_cell_style_builtin(size_t) override {}
    void set_cell_style_parent_name(std::string_view) override {}
    size_t commit_cell_style() override { return cellStyles_++; }

private:
    std::unordered_map<size_t, std::string> codes_;
    std::vector<size_t> xfFormats_;
    size_t pendingId_ = 0;
    std::string pendingCode_;
    size_t xfFormat_ = 0;
    size_t numberFormats_ = 0, styleXfs_ = 0, dxfs_ = 0, fonts_ = 0, fills_ = 0, borders_ = 0,
           protections_ = 0, cellStyles_ = 0;
};

class GlobalSettings final : public iface::import_global_settings
{
public:
    QDate origin{1899, 12, 30};
    void set_origin_date(int year, int month, int day) override { origin = QDate(year, month, day); }
    void set_default_formula_grammar(ss::formula_grammar_t g) override { grammar_ = g; }
    ss::formula_grammar_t get_default_formula_grammar() const override { return grammar_; }
    void set_character_set(orcus::character_set_t) override {}

private:
    ss::formula_grammar_t grammar_ = ss::formula_grammar_t::unknown;
};

// Formula cells: the value the spreadsheet saved with the formula is used;
// without one the cell is empty.
class Formula final : public iface::import_formula
{
public:
    explicit Formula(SheetTable& table) : table_(table) {}
    void set_position(ss::row_t row, ss::col_t col) override
    {
        row_ = r1(row);
        col_ = c1(col);
        kind_ = Result::Empty;
    }
    void set_formula(ss::formula_grammar_t, std::string_view) override {}
    void set_shared_formula_index(size_t) override {}
    void set_result_string(std::string_view value) override
    {
        kind_ = Result::Text;
        text_ = value;
    }
    void set_result_value(double value) override
    {
        // An empty saved value reaches us as NaN.
        kind_ = std::isnan(value) ? Result::Empty : Result::Number;
        number_ = value;
    }
    void set_result_bool(bool value) override
    {
        kind_ = Result::Number;
        number_ = value ? 1 : 0;
    }
    void set_result_empty() override { kind_ = Result::Empty; }
    void commit() override
    {
        switch (kind_) {
        case Result::Number:
            table_.setNumber(row_, col_, number_);
            break;
        case Result::Text:
            table_.setText(row_, col_, text_);
            break;
        case Result::Empty:
            table_.clear(row_, col_);
            break;
        }
    }

private:
    enum class Result { Empty, Number, Text };
    SheetTable& table_;
    int row_ = 0, col_ = 0;
    Result kind_ = Result::Empty;
    double number_ = 0;
    std::string text_;
};

class Sheet final : public iface::import_sheet
{
public:
    Sheet(SheetTable& table, bool keep) : table_(table), keep_(keep), formula_(table) {}

    // Cells whose format is a date format (xlsx), converted once the whole
    // sheet and its styles have been read.
    std::vector<std::pair<int, int>> formatted;
    std::vector<size_t> formattedXf;

    iface::import_formula* get_formula() override { return keep_ ? &formula_ : nullptr; }
    void set_auto(ss::row_t row, ss::col_t col, std::string_view s) override
    {
        if (keep_)
            table_.setText(r1(row), c1(col), s);
    }
    void set_string(ss::row_t row, ss::col_t col, ss::string_id_t sindex) override
    {
        if (keep_)
            table_.setTextIndex(r1(row), c1(col), static_cast<uint32_t>(sindex));
    }
    void set_value(ss::row_t row, ss::col_t col, double value) override
    {
        if (keep_)
            table_.setNumber(r1(row), c1(col), value);
    }
    void set_bool(ss::row_t row, ss::col_t col, bool value) override
    {
        if (keep_)
            table_.setNumber(r1(row), c1(col), value ? 1 : 0);
    }
    void set_date_time(ss::row_t row, ss::col_t col, int year, int month, int day, int, int, double) override
    {
        if (keep_)
            table_.setDate(r1(row), c1(col), QDate(year, month, day));
    }
    void set_format(ss::row_t row, ss::col_t col, size_t xf) override
    {
        if (keep_ && xf != 0) {
            formatted.emplace_back(r1(row), c1(col));
            formattedXf.push_back(xf);
        }
    }
    void set_format(ss::row_t, ss::col_t, ss::row_t, ss::col_t, size_t) override {}
    void fill_down_cells(ss::row_t src_row, ss::col_t src_col, ss::row_t range_size) override
    {
        if (keep_)
            table_.fillDown(r1(src_row), c1(src_col), static_cast<int>(range_size));
    }
    ss::range_size_t get_sheet_size() const override { return {1048576, 16384}; }

private:
    SheetTable& table_;
    bool keep_;
    Formula formula_;
};

// "A1", "$B$12", "Sheet1!C3": the sheet part is ignored (only the first
// worksheet is read).
ss::src_address_t parseAddress(std::string_view a)
{
    if (auto bang = a.rfind('!'); bang != std::string_view::npos)
        a.remove_prefix(bang + 1);
    long col = 0, row = 0;
    size_t i = 0;
    auto skipDollar = [&] {
        if (i < a.size() && a[i] == '$')
            ++i;
    };
    skipDollar();
    while (i < a.size() && a[i] >= 'A' && a[i] <= 'Z' && col < 100000)
        col = col * 26 + (a[i++] - 'A' + 1);
    skipDollar();
    while (i < a.size() && a[i] >= '0' && a[i] <= '9' && row < 10000000)
        row = row * 10 + (a[i++] - '0');
    ss::src_address_t out{};
    out.sheet = 0;
    out.row = static_cast<ss::row_t>(std::max(0L, row - 1));
    out.column = static_cast<ss::col_t>(std::max(0L, col - 1));
    return out;
}

class References final : public iface::import_reference_resolver
{
public:
    ss::src_address_t resolve_address(std::string_view address) override { return parseAddress(address); }
    ss::src_range_t resolve_range(std::string_view range) override
    {
        const auto colon = range.find(':');
        ss::src_range_t out{};
        out.first = parseAddress(range.substr(0, colon));
        out.last = colon == std::string_view::npos ? out.first : parseAddress(range.substr(colon + 1));
        return out;
    }
};

class Factory final : public iface::import_factory
{
public:
    explicit Factory(SheetTable& table)
        : table_(table), strings_(table), first_(table, true), other_(table, false)
    {
    }

    iface::import_global_settings* get_global_settings() override { return &settings_; }
    iface::import_shared_strings* get_shared_strings() override { return &strings_; }
    iface::import_styles* get_styles() override { return &styles_; }
    iface::import_reference_resolver* get_reference_resolver(ss::formula_ref_context_t) override
    {
        return &references_;
    }
    iface::import_sheet* append_sheet(ss::sheet_t index, std::string_view name) override
    {
        ++sheets_;
        if (index == 0)
            firstName_ = name;
        return index == 0 ? &first_ : &other_;
    }
    iface::import_sheet* get_sheet(std::string_view name) override
    {
        return sheets_ == 0 ? nullptr : (name == firstName_ ? &first_ : &other_);
    }
    iface::import_sheet* get_sheet(ss::sheet_t index) override
    {
        return index == 0 ? &first_ : (index < static_cast<ss::sheet_t>(sheets_) ? &other_ : nullptr);
    }
    void finalize() override {}

    int sheetCount() const { return sheets_; }

    // Numbers in cells with a date format become dates.
    void applyDateFormats()
    {
        for (size_t i = 0; i < first_.formatted.size(); ++i) {
            if (!styles_.isDateXf(first_.formattedXf[i]))
                continue;
            const auto [row, col] = first_.formatted[i];
            double serial = 0;
            if (table_.numberAt(row, col, serial))
                table_.setDate(row, col, serialToDate(settings_.origin, serial));
        }
    }

private:
    SheetTable& table_;
    SharedStrings strings_;
    Styles styles_;
    GlobalSettings settings_;
    References references_;
    Sheet first_;
    Sheet other_;
    int sheets_ = 0;
    std::string firstName_;
};

} // namespace

SheetTable readOrcusWorkbook(const QString& path, WorkbookKind kind)
{
    SheetTable table;
    Factory factory(table);
    try {
        if (kind == WorkbookKind::Xlsx) {
            // Packages that name their parts by absolute path are read from
            // a corrected copy (liborcus finds no worksheet in them).
            const PackageCopy package = packageWithRelativeTargets(path);
            orcus::orcus_xlsx reader(&factory);
            reader.read_file(QFile::encodeName(package.path()).toStdString());
            addInlineStrings(package.path(), path, table);
        } else {
            orcus::orcus_ods reader(&factory);
            reader.read_file(QFile::encodeName(path).toStdString());
            table.trim();
            repeatOdsRows(path, table);
        }
    } catch (const ImportError&) {
        throw;
    } catch (const std::exception& e) {
        throw ImportError(brokenWorkbookMessage(path, QString::fromUtf8(e.what())));
    }
    if (factory.sheetCount() == 0)
        throw ImportError(brokenWorkbookMessage(path, QStringLiteral("ni delovnega lista")));
    if (kind == WorkbookKind::Xlsx)
        factory.applyDateFormats();
    table.trim();
    return table;
}

} // namespace rek2::importxls
