#pragma once
#include <QString>

class QLabel;
class QObject;
class QWidget;

namespace rek2 {

class TQuorPrevod;

// A control's Tag, kept as the dynamic property "Tag" (0 when not set).
// Tag 1 on a control keeps its texts; a form's Tag -1 marks it translated;
// the colour scheme marks a coloured form with Tag 1.
int controlTag(const QObject* object);
void setControlTag(QObject* object, int tag);

// A label with an object name, so the translator finds its text (the
// translator passes unnamed controls by).
QLabel* namedLabel(const QString& text, const char* name, QWidget* parent);

// The name a form's texts are stored under: its object name, else its class.
QString translationFormName(const QWidget* form);

// Translates a form and the frames in it: the caption ("Title", when the
// form's Tag is 0 or the colour scheme's 1), then every named control:
// actions of menus (not separators), labels, buttons, tool buttons, check
// boxes and radio buttons (caption when not empty, hint "<name>_Hint" when
// the control has one), tab pages (by the page's name), group boxes, and
// group boxes marked as radio groups (property "radioGroup"), whose radio
// buttons are the items "<name>_<index>". A control with Tag 1 keeps its
// texts; the form is skipped when its Tag is -1 or its name is
// "FQuorPrevod". The form's Tag is -1 afterwards. The controls' own texts
// are kept on the form, so translating again starts from them. While a
// person is asked for a text, that control's text is red. Throws DbError.
void FormTranslation(QWidget* form, TQuorPrevod& translator);

} // namespace rek2
