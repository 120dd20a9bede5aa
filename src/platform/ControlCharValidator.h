#pragma once
// The check every edit line of the program runs on each change of its text: control characters
// other than tab and line breaks that the user types or pastes are dropped at once (the line shows
// the text without them, the caret stays after what was typed or pasted), then the line's own
// check, if it has one, decides. A text the program sets, read from a stored row, stays as it is.
#include <QPointer>
#include <QValidator>

class ControlCharValidator : public QValidator
{
    Q_OBJECT
public:
    // inner: the line's own check (may be null); it is not owned.
    explicit ControlCharValidator(const QValidator *inner, QObject *parent = nullptr);

    const QValidator *inner() const { return m_inner; }

    State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;

private:
    // Whether the change being checked is the user's (typed, pasted, dropped), not a text set by the program.
    bool typedOrPasted() const;

    QPointer<const QValidator> m_inner;
};
