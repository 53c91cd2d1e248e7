#pragma once
// A Host that answers from a script and records what it was asked. A question
// with no scripted answer fails the running test.

#include "ui/host.h"

#include <QStringList>
#include <QTest>

#include <deque>
#include <functional>
#include <vector>

namespace palfade {

class FakeHost : public Host {
public:
    QStringList asked; // one line per question, e.g. "color", "edit:2", "about"

    std::deque<FileChoice> openAnswers;
    std::deque<FileChoice> saveAnswers;
    std::deque<bool> yesNoAnswers;
    int messagesAllowed = 0;
    std::deque<std::optional<DisplayRgb>> colorAnswers;
    std::deque<QString> clipboardTexts;
    int clipboardImagesAllowed = 0;
    QImage clipboardImage;
    int editsAllowed = 0;
    std::function<void(AppState&, int)> onEdit; // what the fake editor does
    int aboutsAllowed = 0;
    // The window's additions: the answers, and what each question showed.
    QStringList clipboardTextsSet;
    int clipboardTextsAllowed = 0;
    std::deque<std::optional<HwColor>> colorWordAnswers;
    std::deque<std::optional<SourcePick>> pickAnswers;
    SourcePickerModel lastPicker; // rows and preview, to look at after the question
    std::deque<std::optional<ShapeSettings>> shapeAnswers;
    bool lastSimpleFade = false;
    std::deque<std::optional<ToolchainChoice>> toolchainAnswers;
    std::function<ToolchainCommand(const ToolchainChoice&)> lastDescribe;
    // Every question in order, with the requester's filters where it has them.
    struct Question {
        QString what;
        QString title;
        QString text;
        QString filters;
        int filterIndex = -1;
        QWidget* owner = nullptr; // the window that asked; null: the main window
    };
    std::vector<Question> log;
    QString lastText;

    FileChoice AskOpenFile(const QString& title, const FileRequester& requester) override
    {
        return File(openAnswers, "open", title, FilterList(requester), requester.preselected);
    }
    FileChoice AskSaveFile(const QString& title, const FileRequester& requester) override
    {
        return File(saveAnswers, "save", title, FilterList(requester), requester.preselected);
    }

    // The requester as the program has always written it: description and
    // pattern pairs separated by "|", patterns by ";".
    static QString FilterList(const FileRequester& requester)
    {
        QStringList pairs;
        for (const FileFormat* format : requester.formats) {
            QStringList patterns;
            for (const char* extension : format->extensions)
                patterns << ExtensionPattern(extension);
            const QString joined = patterns.join(QLatin1Char(';'));
            pairs << QStringLiteral("%1 (%2)|%2").arg(QLatin1String(format->name), joined);
        }
        return pairs.join(QLatin1Char('|'));
    }
    bool AskYesNo(const QString& title, const QString& text) override
    {
        Record("yesno", title, text);
        if (yesNoAnswers.empty())
            return Unexpected("yesno", false);
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }
    void ShowMessage(const QString& title, const QString& text) override
    {
        Record("message", title, text);
        if (messagesAllowed-- <= 0)
            Unexpected("message", 0);
    }
    std::optional<DisplayRgb> ChooseColor(DisplayRgb initial) override
    {
        Record("color", QString(), QString::number(initial, 16));
        if (colorAnswers.empty())
            return Unexpected("color", std::optional<DisplayRgb>{});
        const std::optional<DisplayRgb> answer = colorAnswers.front();
        colorAnswers.pop_front();
        return answer;
    }
    QString ClipboardText() override
    {
        Record("clipboard-text", QString(), QString());
        if (clipboardTexts.empty())
            return Unexpected("clipboard-text", QString());
        const QString text = clipboardTexts.front();
        clipboardTexts.pop_front();
        return text;
    }
    void SetClipboardImage(const QImage& image) override
    {
        Record("clipboard-image", QString(), QString());
        if (clipboardImagesAllowed-- <= 0)
            Unexpected("clipboard-image", 0);
        clipboardImage = image.copy();
    }
    void EditPalette(AppState& state, int which) override
    {
        Record(QStringLiteral("edit:%1").arg(which), QString(), QString());
        if (editsAllowed-- <= 0)
            Unexpected("edit", 0);
        else if (onEdit)
            onEdit(state, which);
    }
    void ShowAbout(const QString& text) override
    {
        Record("about", QString(), text);
        if (aboutsAllowed-- <= 0)
            Unexpected("about", 0);
    }

    void SetClipboardText(const QString& text) override
    {
        Record("clipboard-text-set", QString(), text);
        if (clipboardTextsAllowed-- <= 0)
            Unexpected("clipboard-text-set", 0);
        clipboardTextsSet << text;
    }
    std::optional<HwColor> RequestColorWord(HwColor word, const LevelTable&) override
    {
        Record("color-word", QString(), QString::number(word, 16));
        return Answer(colorWordAnswers, "color-word");
    }
    std::optional<SourcePick> PickSourcePalette(const SourcePickerModel& model, const LevelTable&) override
    {
        QStringList rows;
        for (const SourcePickerRow& row : model.rows)
            rows << row.text;
        Record("pick-source", model.source, rows.join(u'\n'));
        lastPicker = model;
        return Answer(pickAnswers, "pick-source");
    }
    std::optional<ShapeSettings> ChooseFadeShape(const ShapeSettings&, bool simpleFade) override
    {
        Record("fade-shape", QString(), QString());
        lastSimpleFade = simpleFade;
        return Answer(shapeAnswers, "fade-shape");
    }
    std::optional<ToolchainChoice> AskToolchainExport(
        const ToolchainChoice&, const std::function<ToolchainCommand(const ToolchainChoice&)>& describe) override
    {
        Record("toolchain-export", QString(), QString());
        lastDescribe = describe;
        return Answer(toolchainAnswers, "toolchain-export");
    }
    QWidget* ExchangeOwner(QWidget* window) override
    {
        QWidget* previous = owner_;
        owner_ = window;
        return previous;
    }

private:
    QWidget* owner_ = nullptr;
    template <typename T> std::optional<T> Answer(std::deque<std::optional<T>>& answers, const char* what)
    {
        if (answers.empty())
            return Unexpected(what, std::optional<T>{});
        const std::optional<T> answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void Record(const QString& what, const QString& title, const QString& text)
    {
        asked << what;
        log.push_back(Question{what, title, text, QString(), -1, owner_});
        lastText = text;
    }
    template <typename T> T Unexpected(const char* what, T fallback)
    {
        QTest::qFail(qPrintable(QStringLiteral("unexpected question to the user: %1").arg(QLatin1String(what))),
                     __FILE__, __LINE__);
        return fallback;
    }
    FileChoice File(std::deque<FileChoice>& answers, const char* what, const QString& title, const QString& filters,
                    int filterIndex)
    {
        Record(QLatin1String(what), title, QString());
        log.back().filters = filters;
        log.back().filterIndex = filterIndex;
        if (answers.empty())
            return Unexpected(what, FileChoice{});
        const FileChoice answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

} // namespace palfade
