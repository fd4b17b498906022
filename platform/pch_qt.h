// Precompiled Qt headers for the toolkit layer's own sources only.
#pragma once
#ifdef __cplusplus
#include <QtCore/QtCore>
#include <QtGui/QtGui>
#include <QtWidgets/QtWidgets>
#include <string>
#include <vector>
#include <memory>
#endif
