// The conversions of the host's macro language (Visual Basic) that the
// add-in's texts and numbers follow, in one place. Every writer, the settings
// load and the parts-list update use these; none converts on its own. Each
// subject has its own file: numbers, rounding, text, dates.
//
// Failures are Failure with the VB run-time codes: type mismatch for text
// that is not a number, overflow for a result out of range or not finite,
// division by zero, invalid procedure call for an argument the routine
// refuses.
#pragma once

#include "addin/vb_dates.h"
#include "addin/vb_numbers.h"
#include "addin/vb_rounding.h"
#include "addin/vb_text.h"
