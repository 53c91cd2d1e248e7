#pragma once
// The source picker: what a source offers (its tables, a palette file's or a
// picture's palettes), one palette picked out of it, and its 16 colours seen
// before "Ok" loads them. What the offers are and what a pick gives come from
// the caller; the dialog shows them and keeps the choice.

#include "core/hw_color.h"
#include "core/level_table.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace palfade {

struct SourcePickerRow {
    QString text;          // what the offer is, or why it cannot be read (and where)
    bool loadable = false; // false: listed, never picked
    bool words = false;    // its words are grouped into palettes: size and first entry apply
    bool countWord = false; // its first word counts its palettes: the box is offered, and starts on
    int wordCount = 0;     // fewer than 16: a palette starts as that many words
};

// The choice: offer `row`, its palette `index` (from 0), and how its words
// make palettes.
struct SourcePick {
    int row = -1;
    int index = 0;
    int paletteSize = kPaletteSize;
    int firstEntry = 0;
    bool countWord = false;
};

// What a pick gives: the palette, or no palette and why; and how many
// palettes the offer holds picked so.
struct PickedPalette {
    std::optional<PaletteWords> words;
    int palettes = 0;
    QString note;
};

struct SourcePickerModel {
    QString source; // the file, as the dialog names it
    std::vector<SourcePickerRow> rows;
    std::function<PickedPalette(const SourcePick&)> preview;
};

// The palettes' colours are shown through `levels`. Nothing when cancelled.
std::optional<SourcePick> PickSourcePalette(const SourcePickerModel& model, const LevelTable& levels,
                                            QWidget* owner);

// 16 colours side by side, a palette as the preview shows it.
class SwatchStrip : public QWidget {
public:
    explicit SwatchStrip(const LevelTable& levels, QWidget* parent = nullptr);
    void Show(const std::optional<PaletteWords>& words);
    const std::optional<PaletteWords>& Shown() const { return words_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    LevelTable levels_;
    std::optional<PaletteWords> words_;
};

// The dialog itself; PickSourcePalette runs it modally, tests show and drive it.
class SourcePickerDialog : public QDialog {
public:
    SourcePickerDialog(SourcePickerModel model, const LevelTable& levels, QWidget* parent = nullptr);

    SourcePick Pick() const { return pick_; }

    QListWidget* Offers() const { return offers_; }
    QSpinBox* IndexSpin() const { return index_; }
    QSpinBox* SizeSpin() const { return size_; }
    QSpinBox* FirstSpin() const { return first_; }
    QCheckBox* CountBox() const { return count_; }
    SwatchStrip* Swatches() const { return swatches_; }
    QLabel* Note() const { return note_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

private:
    void RowChosen(int row);
    void Update();

    SourcePickerModel model_;
    SourcePick pick_;
    QListWidget* offers_ = nullptr;
    QSpinBox* index_ = nullptr;
    QSpinBox* size_ = nullptr;
    QSpinBox* first_ = nullptr;
    QCheckBox* count_ = nullptr;
    SwatchStrip* swatches_ = nullptr;
    QLabel* note_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace palfade
