#pragma once
#include <QString>
#include "core/Other.h"
