#pragma once

// How much of a sheet a reader is asked for: the top-left rows x columns. Readers stop
// as soon as they have it, so a huge or hostile sheet costs no more than this.
struct SheetReadLimits
{
    int rows = 0;
    int columns = 0;
};
