#include "widgets/Fine.h"
#include "paper/QuestionTable.h"
#include <QWidget>
#include "editor/FormPaper.h"
