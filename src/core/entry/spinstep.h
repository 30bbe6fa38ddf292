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

/// A step up on @p text: the new text while its value is below @p limit, otherwise nothing (at the limit).
std::optional<QString> spinUpStep(const QString &text, int limit);

/// A step down on @p text: the new text while its value is above 0, otherwise nothing.
std::optional<QString> spinDownStep(const QString &text);
