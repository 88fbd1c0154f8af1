#include "paper/Crossing.h"
#include "widgets/ModalSeam.h"
#include "Bare.h"
#include <QFont>
#include <QtWidgets/QWidget>
