#pragma once

#include <QString>
#include <optional>

/**
 * @file
 * One step of a spin button on the text of its entry field.
 *
 * A step writes the field's number plus or minus one in the "00" format;
 * it never wraps and never carries into a neighbouring field.
 */

/// What a step up does with a field's text.
struct SpinUpStep
{
    std::optional<QString> newText; ///< the text to write, if the step is taken
    bool atLimit = false; ///< refused because the value is at or above the limit
};

/// A step up on @p text below @p limit (24 for hours, 59 for minutes and seconds).
SpinUpStep spinUpStep(const QString &text, int limit);

/// A step down on @p text: the new text while its value is above 0, otherwise nothing.
std::optional<QString> spinDownStep(const QString &text);
