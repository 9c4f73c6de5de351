#pragma once
// Upper- and lower-casing by the system's locale rules (CharUpperBuffW / CharLowerBuffW), Cyrillic
// letters included: the CaseMap that the core's readers take on Windows.
#include "core/Texts.h"

const CaseMap& SystemCaseMap() noexcept;
