#pragma once

#include <QIcon>
#include <QPointF>
#include <QString>
#include <QStringList>

// The program's icons, drawn in code with QPainter so that nothing is loaded
// at run time and every size is drawn for its own pixel grid rather than
// scaled from one picture.
//
// The tool bar icons share one look: navy outlines and shapes on white or a
// pale blue tint, green for what the program computes or adds, red for what
// removes or stops. Each icon holds pixmaps of 16, 24, 32 and 48 pixels; Qt
// derives the disabled and selected looks from them.
class QPainter;

namespace orvex::gui {

// The icon of a tool bar or menu command, by the command's name:
//   file and view  "new", "open", "save", "print", "about", "info",
//                  "fit" (fit the plan to the window), "zoomin", "zoomout",
//                  "zoommouse" (zoom to a rectangle drawn with the mouse),
//                  "rightturn", "leftturn" (turn the plan), "update" (redraw),
//                  "displaysetting"
//   analysis       "analysis" (run the airflow analysis), "fire"
//   editing        "makenode", "changenode", "deletenode", "makeroad",
//                  "changeroad", "deleteroad", "roadlocation" (move a road's
//                  bending points), "insertnode" (split a road by a new node),
//                  "makefan", "changefan", "deletefan", "stop" (leave the
//                  edit mode)
// A name not in this list gives a null icon.
QIcon commandIcon(const QString& name);

// Every name commandIcon() knows, in the order listed above.
QStringList commandIconNames();

// The program's own icon: a fan in its shaft at the end of an airway network,
// white and green on a navy ground, as on the plan's screen colours. The
// desktop file installs the same picture as scalable vector graphics.
// Holds pixmaps of 16 to 256 pixels.
QIcon applicationIcon();

// Paints the fan of the program icon, a ring of `radius` round three green
// blades, centred on `centre`; for pictures that show the same motif.
void paintShaftFan(QPainter& painter, QPointF centre, qreal radius, qreal ringWidth);

}  // namespace orvex::gui
