#pragma once
#include "review/review_chain.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

namespace rek2 {
struct RekContext;
class DataSet;
class RecordEditor;
} // namespace rek2

namespace rek2::review {

struct KopirajResult;

// One node of the review tree under its root "REK2".
struct PregledNode
{
    QString text;
    bool bold = false; // the summary has no document number yet
    int parent = -1;   // index of the parent node; -1 = the root
    int row = -1;      // row of odsPregled
};

// The text of a summary's node: security (cleaned for a file name), coupon
// number, kind, identifier and the two dates, as "KRKG_12_O_101 ( 30.11.2026 - 05.12.2026 )".
QString nodeText(const QString& sfvp, const QVariant& stkpn, const QString& correctionType,
                 const QVariant& id, const QDate& datumIzp, const QDate& datumPlcDvk);

// What a click on a node looks for, read back from the node's text. Empty
// for the root and for texts that are not a summary's.
struct NodeKey
{
    QString id;
    QString correctionType;
    QString datumIzp;    // as shown, "dd.MM.yyyy"
    QString datumPlcDvk; // empty: the summary has no tax payment date
};
std::optional<NodeKey> parseNodeText(const QString& text);

// What the review tab's actions ask of the window. All optional.
struct PregledHooks
{
    // The two grids follow odsPregled only while attached.
    std::function<void(bool attached)> attachGrids;
    // The tree was filled anew.
    std::function<void(const std::vector<PregledNode>& nodes)> showTree;
    // After a copy: the collection tab with its pickers set, "?" disabled.
    std::function<void(const QDate& od, const QDate& to)> showNabor;
    // After a copy, once the collection tab's views hold the copy.
    std::function<void()> naborLoaded;
    // What a copy did (files moved, files missing), for the operator.
    std::function<void(const KopirajResult&)> copied;
};

// The review tab "Pregled": the tree and grids of written returns, and the
// double-click that records document numbers and starts cancellations,
// corrections and the taking back of unnumbered returns. Works on the
// context's odsPregled and odsPregledA; database errors throw DbError after
// the step's transaction was rolled back.
class PregledActions
{
public:
    PregledActions(RekContext& ctx, RecordEditor& editor, PregledHooks hooks = {});

    // Fields, captions and the computed columns of both views (once, at log-on).
    static void prepare(RekContext& ctx);

    void SpeedButton1Click();                     // "?": fill the tree and the summary grid
    bool tvPregledClick(const QString& nodeText); // false when nothing matched
    void dbgPregledCellClick();                   // newest of the chain, its rows
    void dbgPregledDblClick();                    // number, "Storno", "Popravek"
    void dbgPredgledADblClick();                  // the row in the editor, read-only
    bool TrySetParentIfExists() const;            // current summary superseded
    void SetParentIfExists();                     // move to the newest of the chain
    bool rowSuperseded(int row) const;            // drawing: normal type when true
    const std::vector<PregledNode>& nodes() const { return nodes_; }

    // odsPregledA for the current summary of odsPregled (its identifier,
    // payout date and tax payment date).
    static void loadAnalyticRows(RekContext& ctx);
    // odsPregled for the review pickers.
    static void openSummaries(RekContext& ctx);

private:
    void attach(bool on);
    void relocate(int idZbir);

    RekContext& ctx_;
    RecordEditor& editor_;
    PregledHooks hooks_;
    std::vector<PregledNode> nodes_;
};

// The correction chain entries of every row of a history summary view.
std::vector<ChainEntry> chainEntries(const DataSet& ds);

} // namespace rek2::review
