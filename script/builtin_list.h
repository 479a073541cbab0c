// builtin_list.h: the one list of the builtins scripts reach with CALL.
//
// KIRTO_BUILTINS names every builtin once, in the order of its row (the position CALL stores), with
// its dispatch id, name, argument count, family and help. The ids (BuiltinId) and the table
// kBuiltins (builtin_table.h) are expanded from it, and VmCallBuiltin (builtins.cpp) hands each call
// to the switch its row's family names. A new builtin is one line here, with the next free id, plus
// its case in its family's switch. The ids equal the rows except in the mod. group, numbered in
// another order; they are checked to be 0..count-1, each once, when builtin_table.cpp compiles.
// The tests pin rows and ids: add at the end of a group.
#pragma once

#include <cstdint>

// The switch a builtin runs in (builtin_families.h).
enum BuiltinFamily : int32_t {
    BF_SELECTION,                        // sel. and map. (builtins_editor.cpp, like the next five)
    BF_CAMERA,                           // cam.
    BF_SETTINGS,                         // snap. and set.
    BF_INPUT,                            // asset., sys., key. and mouse.
    BF_MOD,                              // mod.
    BF_PLAIN,                            // the helpers without a group
    BF_BRUSH,                            // brush. (builtins_brush.cpp)
    BF_FACE,                             // face. (builtins_face.cpp)
    BF_ENTITY,                           // ent. (builtins_entity.cpp)
};

//----------------------------------------------------------------------------------
// The builtin list: X(id, its number, name as scripts write it, argument count, family, help line)
//----------------------------------------------------------------------------------
#define KIRTO_BUILTINS(X) \
    /* sel. */ \
    X(BI_SEL_BRUSH,           0, "sel.brush",          0, BF_SELECTION, "selected brush when the run started, -1 none") \
    X(BI_SEL_ENTITY,          1, "sel.entity",         0, BF_SELECTION, "selected entity when the run started, -1 none") \
    X(BI_SEL_SETBRUSH,        2, "sel.setbrush",       1, BF_SELECTION, "(i) select brush i and drop the entity selection") \
    X(BI_SEL_SETENTITY,       3, "sel.setentity",      1, BF_SELECTION, "(i) select entity i and drop the brush selection") \
    X(BI_SEL_CLEAR,           4, "sel.clear",          0, BF_SELECTION, "select nothing") \
    X(BI_SEL_TOOL,            5, "sel.tool",           0, BF_SELECTION, "active tool: 0 sel 1 ent 2 blk 3 tex 4 vtx 5 clip 6 mod") \
    X(BI_SEL_SETTOOL,         6, "sel.settool",        1, BF_SELECTION, "(tool) 0 sel 1 ent 2 blk 3 tex 4 vtx 5 clip") \
    X(BI_SEL_TEXTURE,         7, "sel.texture",        0, BF_SELECTION, "current texture, -1 none") \
    X(BI_SEL_SETTEXTURE,      8, "sel.settexture",     1, BF_SELECTION, "(i) set the current texture, -1 for none") \
    X(BI_SEL_MODEL,           9, "sel.model",          0, BF_SELECTION, "current model, -1 none") \
    X(BI_SEL_SETMODEL,       10, "sel.setmodel",       1, BF_SELECTION, "(i) set the current model, -1 for none") \
    /* map. */ \
    X(BI_MAP_BRUSHCOUNT,     11, "map.brushcount",     0, BF_SELECTION, "number of brushes in the map") \
    X(BI_MAP_ENTCOUNT,       12, "map.entcount",       0, BF_SELECTION, "number of entities in the map") \
    X(BI_MAP_GRID,           13, "map.grid",           0, BF_SELECTION, "grid step") \
    X(BI_MAP_SETGRID,        14, "map.setgrid",        1, BF_SELECTION, "(step) set the grid step, above 0.0001 and up to 64") \
    X(BI_MAP_CLEARBRUSHES,   15, "map.clearbrushes",   0, BF_SELECTION, "remove every brush; returns how many there were") \
    X(BI_MAP_CLEARENTS,      16, "map.clearents",      0, BF_SELECTION, "remove every entity; returns how many there were") \
    /* cam. */ \
    X(BI_CAM_POSX,           17, "cam.posx",           0, BF_CAMERA,    "3D camera position x") \
    X(BI_CAM_POSY,           18, "cam.posy",           0, BF_CAMERA,    "3D camera position y") \
    X(BI_CAM_POSZ,           19, "cam.posz",           0, BF_CAMERA,    "3D camera position z") \
    X(BI_CAM_SETPOS,         20, "cam.setpos",         3, BF_CAMERA,    "(x,y,z) move the camera, keeping its aim") \
    X(BI_CAM_TARGETX,        21, "cam.targetx",        0, BF_CAMERA,    "3D camera target x") \
    X(BI_CAM_TARGETY,        22, "cam.targety",        0, BF_CAMERA,    "3D camera target y") \
    X(BI_CAM_TARGETZ,        23, "cam.targetz",        0, BF_CAMERA,    "3D camera target z") \
    X(BI_CAM_SETTARGET,      24, "cam.settarget",      3, BF_CAMERA,    "(x,y,z) aim the camera at a point") \
    X(BI_CAM_FWDX,           25, "cam.fwdx",           0, BF_CAMERA,    "camera forward direction x") \
    X(BI_CAM_FWDY,           26, "cam.fwdy",           0, BF_CAMERA,    "camera forward direction y") \
    X(BI_CAM_FWDZ,           27, "cam.fwdz",           0, BF_CAMERA,    "camera forward direction z") \
    X(BI_CAM_YAW,            28, "cam.yaw",            0, BF_CAMERA,    "camera yaw in degrees") \
    X(BI_CAM_PITCH,          29, "cam.pitch",          0, BF_CAMERA,    "camera pitch in degrees") \
    X(BI_CAM_SETANGLES,      30, "cam.setangles",      2, BF_CAMERA,    "(yaw,pitch) turn the camera, degrees") \
    X(BI_CAM_LOOKAT,         31, "cam.lookat",         3, BF_CAMERA,    "(x,y,z) aim the camera at a point") \
    X(BI_CAM_FOV,            32, "cam.fov",            0, BF_CAMERA,    "field of view in degrees") \
    X(BI_CAM_SETFOV,         33, "cam.setfov",         1, BF_CAMERA,    "(deg) set the field of view, 10 to 150") \
    X(BI_CAM_ZOOM,           34, "cam.zoom",           0, BF_CAMERA,    "2D view zoom") \
    X(BI_CAM_SETZOOM,        35, "cam.setzoom",        1, BF_CAMERA,    "(zoom) set the 2D view zoom") \
    X(BI_CAM_ORBIT,          36, "cam.orbit",          4, BF_CAMERA,    "(cx,cy,cz,r) place the camera r units from a centre, looking at it") \
    X(BI_CAM_DOLLY,          37, "cam.dolly",          1, BF_CAMERA,    "(d) move the camera d units along its aim") \
    /* snap. */ \
    X(BI_SNAP_MOVE,          38, "snap.move",          0, BF_SETTINGS,  "move snapping on (1) or off (0)") \
    X(BI_SNAP_ROT,           39, "snap.rot",           0, BF_SETTINGS,  "rotation snapping on (1) or off (0)") \
    X(BI_SNAP_SCALE,         40, "snap.scale",         0, BF_SETTINGS,  "scale snapping on (1) or off (0)") \
    X(BI_SNAP_VERTEX,        41, "snap.vertex",        0, BF_SETTINGS,  "vertex snapping on (1) or off (0)") \
    X(BI_SNAP_SETMOVE,       42, "snap.setmove",       1, BF_SETTINGS,  "(on) switch move snapping") \
    X(BI_SNAP_SETROT,        43, "snap.setrot",        1, BF_SETTINGS,  "(on) switch rotation snapping") \
    X(BI_SNAP_SETSCALE,      44, "snap.setscale",      1, BF_SETTINGS,  "(on) switch scale snapping") \
    X(BI_SNAP_SETVERTEX,     45, "snap.setvertex",     1, BF_SETTINGS,  "(on) switch vertex snapping") \
    X(BI_SNAP_ROTSTEP,       46, "snap.rotstep",       0, BF_SETTINGS,  "rotation snap step in degrees") \
    X(BI_SNAP_SETROTSTEP,    47, "snap.setrotstep",    1, BF_SETTINGS,  "(deg) set the rotation snap step, 0.1 to 180") \
    /* set. */ \
    X(BI_SET_AMBIENT,        48, "set.ambient",        0, BF_SETTINGS,  "ambient light level") \
    X(BI_SET_SETAMBIENT,     49, "set.setambient",     1, BF_SETTINGS,  "(v) set the ambient light, 0 to 2") \
    X(BI_SET_FLYSPEED,       50, "set.flyspeed",       0, BF_SETTINGS,  "fly camera speed") \
    X(BI_SET_SETFLYSPEED,    51, "set.setflyspeed",    1, BF_SETTINGS,  "(v) set the fly speed, 0.001 to 10") \
    X(BI_SET_GAMMA,          52, "set.gamma",          0, BF_SETTINGS,  "render gamma") \
    X(BI_SET_SETGAMMA,       53, "set.setgamma",       1, BF_SETTINGS,  "(v) set the render gamma, 0.5 to 4") \
    X(BI_SET_SPECULAR,       54, "set.specular",       0, BF_SETTINGS,  "specular strength") \
    X(BI_SET_SETSPECULAR,    55, "set.setspecular",    1, BF_SETTINGS,  "(v) set the specular strength, 0 to 1") \
    X(BI_SET_LIGHTING,       56, "set.lighting",       0, BF_SETTINGS,  "lighting in the views on (1) or off (0)") \
    X(BI_SET_SETLIGHTING,    57, "set.setlighting",    1, BF_SETTINGS,  "(on) switch lighting in the views") \
    X(BI_SET_GIZMOS,         58, "set.gizmos",         0, BF_SETTINGS,  "gizmo icons on (1) or off (0)") \
    X(BI_SET_SETGIZMOS,      59, "set.setgizmos",      1, BF_SETTINGS,  "(on) switch gizmo icons") \
    X(BI_SET_QUALITY,        60, "set.quality",        0, BF_SETTINGS,  "render quality: 0 off (CPU) 1 low 2 medium 3 high") \
    X(BI_SET_SETQUALITY,     61, "set.setquality",     1, BF_SETTINGS,  "(q) set the render quality, 0 to 3") \
    /* brush. */ \
    X(BI_BRUSH_VERTCOUNT,    62, "brush.vertcount",    1, BF_BRUSH,     "(b) number of vertices, -1 no brush") \
    X(BI_BRUSH_FACECOUNT,    63, "brush.facecount",    1, BF_BRUSH,     "(b) number of faces, -1 no brush") \
    X(BI_BRUSH_GETX,         64, "brush.getx",         2, BF_BRUSH,     "(b,v) local x of vertex v") \
    X(BI_BRUSH_GETY,         65, "brush.gety",         2, BF_BRUSH,     "(b,v) local y of vertex v") \
    X(BI_BRUSH_GETZ,         66, "brush.getz",         2, BF_BRUSH,     "(b,v) local z of vertex v") \
    X(BI_BRUSH_SETV,         67, "brush.setv",         5, BF_BRUSH,     "(b,v,x,y,z) move vertex v to a local point") \
    X(BI_BRUSH_POSX,         68, "brush.posx",         1, BF_BRUSH,     "(b) origin x") \
    X(BI_BRUSH_POSY,         69, "brush.posy",         1, BF_BRUSH,     "(b) origin y") \
    X(BI_BRUSH_POSZ,         70, "brush.posz",         1, BF_BRUSH,     "(b) origin z") \
    X(BI_BRUSH_SETPOS,       71, "brush.setpos",       4, BF_BRUSH,     "(b,x,y,z) set the origin") \
    X(BI_BRUSH_SIZEX,        72, "brush.sizex",        1, BF_BRUSH,     "(b) size x") \
    X(BI_BRUSH_SIZEY,        73, "brush.sizey",        1, BF_BRUSH,     "(b) size y") \
    X(BI_BRUSH_SIZEZ,        74, "brush.sizez",        1, BF_BRUSH,     "(b) size z") \
    X(BI_BRUSH_SETSIZE,      75, "brush.setsize",      4, BF_BRUSH,     "(b,x,y,z) set the size; scales the mesh too") \
    X(BI_BRUSH_ROTX,         76, "brush.rotx",         1, BF_BRUSH,     "(b) pitch in degrees") \
    X(BI_BRUSH_ROTY,         77, "brush.roty",         1, BF_BRUSH,     "(b) yaw in degrees") \
    X(BI_BRUSH_ROTZ,         78, "brush.rotz",         1, BF_BRUSH,     "(b) roll in degrees") \
    X(BI_BRUSH_SETROT,       79, "brush.setrot",       4, BF_BRUSH,     "(b,pitch,yaw,roll) set the rotation, degrees") \
    X(BI_BRUSH_ADD,          80, "brush.add",          7, BF_BRUSH,     "(shape,x,y,z,sx,sy,sz) add a brush: 0 cube 1 cylinder 2 sphere 3 arc 4 plane; returns its index") \
    X(BI_BRUSH_DELETE,       81, "brush.delete",       1, BF_BRUSH,     "(b) delete a brush; later brushes move down") \
    X(BI_BRUSH_CLONE,        82, "brush.clone",        1, BF_BRUSH,     "(b) copy a brush; returns the new index") \
    X(BI_BRUSH_EXTRUDE,      83, "brush.extrude",      3, BF_BRUSH,     "(b,f,dist) extrude face f") \
    X(BI_BRUSH_SPLITEDGE,    84, "brush.splitedge",    3, BF_BRUSH,     "(b,va,vb) split an edge at its midpoint; returns the new vertex") \
    X(BI_BRUSH_WELD,         85, "brush.weld",         2, BF_BRUSH,     "(b,eps) merge vertices closer than eps; returns how many") \
    X(BI_BRUSH_FLIP,         86, "brush.flip",         2, BF_BRUSH,     "(b,axis) mirror the brush: 0 X 1 Y 2 Z") \
    X(BI_BRUSH_SUBDIVIDE,    87, "brush.subdivide",    2, BF_BRUSH,     "(b,f) split face f into quads; returns how many") \
    X(BI_BRUSH_FIXWIND,      88, "brush.fixwind",      1, BF_BRUSH,     "(b) wind every face outward") \
    X(BI_BRUSH_SETTEX,       89, "brush.settex",       2, BF_BRUSH,     "(b,tex) set the brush texture on every face") \
    X(BI_BRUSH_GETTEX,       90, "brush.gettex",       1, BF_BRUSH,     "(b) brush texture, -1 no brush") \
    X(BI_BRUSH_SHAPE,        91, "brush.shape",        1, BF_BRUSH,     "(b) shape it was built from, -1 no brush") \
    X(BI_BRUSH_REBUILD,      92, "brush.rebuild",      2, BF_BRUSH,     "(b,shape) rebuild as a fresh shape, keeping place, size and name") \
    X(BI_BRUSH_HIDE,         93, "brush.hide",         2, BF_BRUSH,     "(b,on) hide or show") \
    X(BI_BRUSH_ISHIDDEN,     94, "brush.ishidden",     1, BF_BRUSH,     "(b) 1 when hidden") \
    X(BI_BRUSH_PHYSICS,      95, "brush.physics",      1, BF_BRUSH,     "(b) 1 when it takes part in physics") \
    X(BI_BRUSH_SETPHYSICS,   96, "brush.setphysics",   2, BF_BRUSH,     "(b,on) switch physics") \
    X(BI_BRUSH_MASS,         97, "brush.mass",         1, BF_BRUSH,     "(b) mass") \
    X(BI_BRUSH_SETMASS,      98, "brush.setmass",      2, BF_BRUSH,     "(b,m) set the mass, at least 0") \
    X(BI_BRUSH_FRICTION,     99, "brush.friction",     1, BF_BRUSH,     "(b) friction") \
    X(BI_BRUSH_SETFRICTION, 100, "brush.setfriction",  2, BF_BRUSH,     "(b,f) set the friction, at least 0") \
    X(BI_BRUSH_BOUNCE,      101, "brush.bounce",       1, BF_BRUSH,     "(b) bounce (restitution)") \
    X(BI_BRUSH_SETBOUNCE,   102, "brush.setbounce",    2, BF_BRUSH,     "(b,v) set the bounce, at least 0") \
    X(BI_BRUSH_COLR,        103, "brush.colr",         1, BF_BRUSH,     "(b) colour red 0-255") \
    X(BI_BRUSH_COLG,        104, "brush.colg",         1, BF_BRUSH,     "(b) colour green 0-255") \
    X(BI_BRUSH_COLB,        105, "brush.colb",         1, BF_BRUSH,     "(b) colour blue 0-255") \
    X(BI_BRUSH_SETCOL,      106, "brush.setcol",       4, BF_BRUSH,     "(b,r,g,b) set the colour, 0-255") \
    X(BI_BRUSH_MINX,        107, "brush.minx",         1, BF_BRUSH,     "(b) world bounds min x") \
    X(BI_BRUSH_MINY,        108, "brush.miny",         1, BF_BRUSH,     "(b) world bounds min y") \
    X(BI_BRUSH_MINZ,        109, "brush.minz",         1, BF_BRUSH,     "(b) world bounds min z") \
    X(BI_BRUSH_MAXX,        110, "brush.maxx",         1, BF_BRUSH,     "(b) world bounds max x") \
    X(BI_BRUSH_MAXY,        111, "brush.maxy",         1, BF_BRUSH,     "(b) world bounds max y") \
    X(BI_BRUSH_MAXZ,        112, "brush.maxz",         1, BF_BRUSH,     "(b) world bounds max z") \
    X(BI_BRUSH_CENTREX,     113, "brush.centrex",      1, BF_BRUSH,     "(b) world bounds centre x") \
    X(BI_BRUSH_CENTREY,     114, "brush.centrey",      1, BF_BRUSH,     "(b) world bounds centre y") \
    X(BI_BRUSH_CENTREZ,     115, "brush.centrez",      1, BF_BRUSH,     "(b) world bounds centre z") \
    X(BI_BRUSH_VOLUME,      116, "brush.volume",       1, BF_BRUSH,     "(b) volume of the local mesh") \
    X(BI_BRUSH_CLIP,        117, "brush.clip",         6, BF_BRUSH,     "(b,nx,ny,nz,dist,keep) cut by a local plane; keep 0=front 1=back 2=both; -2 not convex") \
    /* face. */ \
    X(BI_FACE_VERTCOUNT,    118, "face.vertcount",     2, BF_FACE,      "(b,f) number of corners, -1 no face") \
    X(BI_FACE_VERT,         119, "face.vert",          3, BF_FACE,      "(b,f,k) vertex index of corner k, -1 none") \
    X(BI_FACE_NX,           120, "face.nx",            2, BF_FACE,      "(b,f) local normal x") \
    X(BI_FACE_NY,           121, "face.ny",            2, BF_FACE,      "(b,f) local normal y") \
    X(BI_FACE_NZ,           122, "face.nz",            2, BF_FACE,      "(b,f) local normal z") \
    X(BI_FACE_CX,           123, "face.cx",            2, BF_FACE,      "(b,f) local centre x") \
    X(BI_FACE_CY,           124, "face.cy",            2, BF_FACE,      "(b,f) local centre y") \
    X(BI_FACE_CZ,           125, "face.cz",            2, BF_FACE,      "(b,f) local centre z") \
    X(BI_FACE_AREA,         126, "face.area",          2, BF_FACE,      "(b,f) area") \
    X(BI_FACE_TEX,          127, "face.tex",           2, BF_FACE,      "(b,f) face texture, -1 inherit") \
    X(BI_FACE_SETTEX,       128, "face.settex",        3, BF_FACE,      "(b,f,tex) set the face texture, -1 to inherit") \
    X(BI_FACE_SCALEU,       129, "face.scaleu",        2, BF_FACE,      "(b,f) texture scale u") \
    X(BI_FACE_SCALEV,       130, "face.scalev",        2, BF_FACE,      "(b,f) texture scale v") \
    X(BI_FACE_SETSCALE,     131, "face.setscale",      4, BF_FACE,      "(b,f,u,v) set the texture scale") \
    X(BI_FACE_OFFU,         132, "face.offu",          2, BF_FACE,      "(b,f) texture offset u") \
    X(BI_FACE_OFFV,         133, "face.offv",          2, BF_FACE,      "(b,f) texture offset v") \
    X(BI_FACE_SETOFF,       134, "face.setoff",        4, BF_FACE,      "(b,f,u,v) set the texture offset") \
    X(BI_FACE_ROT,          135, "face.rot",           2, BF_FACE,      "(b,f) texture rotation in degrees") \
    X(BI_FACE_SETROT,       136, "face.setrot",        3, BF_FACE,      "(b,f,deg) set the texture rotation") \
    X(BI_FACE_PROJ,         137, "face.proj",          2, BF_FACE,      "(b,f) projection: 0 world 1 local 2 fit") \
    X(BI_FACE_SETPROJ,      138, "face.setproj",       3, BF_FACE,      "(b,f,mode) set the projection: 0 world 1 local 2 fit") \
    X(BI_FACE_FLIPU,        139, "face.flipu",         2, BF_FACE,      "(b,f) 1 when u is flipped") \
    X(BI_FACE_FLIPV,        140, "face.flipv",         2, BF_FACE,      "(b,f) 1 when v is flipped") \
    X(BI_FACE_SETFLIP,      141, "face.setflip",       4, BF_FACE,      "(b,f,fu,fv) set both flips") \
    X(BI_FACE_TINTR,        142, "face.tintr",         2, BF_FACE,      "(b,f) tint red 0-255") \
    X(BI_FACE_TINTG,        143, "face.tintg",         2, BF_FACE,      "(b,f) tint green 0-255") \
    X(BI_FACE_TINTB,        144, "face.tintb",         2, BF_FACE,      "(b,f) tint blue 0-255") \
    X(BI_FACE_SETTINT,      145, "face.settint",       5, BF_FACE,      "(b,f,r,g,b) set the tint, 0-255") \
    X(BI_FACE_SPLIT,        146, "face.split",         4, BF_FACE,      "(b,f,va,vb) split a face along the diagonal va-vb") \
    X(BI_FACE_PLANARERR,    147, "face.planarerr",     2, BF_FACE,      "(b,f) how bent the face is") \
    /* ent. */ \
    X(BI_ENT_ADD,           148, "ent.add",            4, BF_ENTITY,    "(kind,x,y,z) add an entity: 0 generic 1 light 2 spot 3 sun 4 prop 5 start; returns its index") \
    X(BI_ENT_DELETE,        149, "ent.delete",         1, BF_ENTITY,    "(e) delete an entity; later entities move down") \
    X(BI_ENT_POSX,          150, "ent.posx",           1, BF_ENTITY,    "(e) position x") \
    X(BI_ENT_POSY,          151, "ent.posy",           1, BF_ENTITY,    "(e) position y") \
    X(BI_ENT_POSZ,          152, "ent.posz",           1, BF_ENTITY,    "(e) position z") \
    X(BI_ENT_SETPOS,        153, "ent.setpos",         4, BF_ENTITY,    "(e,x,y,z) set the position") \
    X(BI_ENT_ROTX,          154, "ent.rotx",           1, BF_ENTITY,    "(e) pitch in degrees") \
    X(BI_ENT_ROTY,          155, "ent.roty",           1, BF_ENTITY,    "(e) yaw in degrees") \
    X(BI_ENT_ROTZ,          156, "ent.rotz",           1, BF_ENTITY,    "(e) roll in degrees") \
    X(BI_ENT_SETROT,        157, "ent.setrot",         4, BF_ENTITY,    "(e,pitch,yaw,roll) set the rotation, degrees") \
    X(BI_ENT_AIM,           158, "ent.aim",            4, BF_ENTITY,    "(e,dx,dy,dz) turn to look along a direction") \
    X(BI_ENT_SCALE,         159, "ent.scale",          1, BF_ENTITY,    "(e) scale") \
    X(BI_ENT_SETSCALE,      160, "ent.setscale",       2, BF_ENTITY,    "(e,s) set the scale, at least 0.001") \
    X(BI_ENT_KIND,          161, "ent.kind",           1, BF_ENTITY,    "(e) kind, -1 no entity") \
    X(BI_ENT_SETKIND,       162, "ent.setkind",        2, BF_ENTITY,    "(e,kind) set the kind: 0 generic 1 light 2 spot 3 sun 4 prop 5 start") \
    X(BI_ENT_SETLIGHT,      163, "ent.setlight",       5, BF_ENTITY,    "(e,r,g,b,bright) set the light colour 0-255 and brightness") \
    X(BI_ENT_LIGHTR,        164, "ent.lightr",         1, BF_ENTITY,    "(e) light red 0-255") \
    X(BI_ENT_LIGHTG,        165, "ent.lightg",         1, BF_ENTITY,    "(e) light green 0-255") \
    X(BI_ENT_LIGHTB,        166, "ent.lightb",         1, BF_ENTITY,    "(e) light blue 0-255") \
    X(BI_ENT_BRIGHT,        167, "ent.bright",         1, BF_ENTITY,    "(e) light brightness") \
    X(BI_ENT_RANGE,         168, "ent.range",          1, BF_ENTITY,    "(e) light range") \
    X(BI_ENT_SETRANGE,      169, "ent.setrange",       2, BF_ENTITY,    "(e,r) set the light range, at least 0.1") \
    X(BI_ENT_INNER,         170, "ent.inner",          1, BF_ENTITY,    "(e) inner cone angle in degrees") \
    X(BI_ENT_OUTER,         171, "ent.outer",          1, BF_ENTITY,    "(e) outer cone angle in degrees") \
    X(BI_ENT_SETCONE,       172, "ent.setcone",        3, BF_ENTITY,    "(e,inner,outer) set the cone angles, 1 to 89") \
    X(BI_ENT_CASTS,         173, "ent.casts",          1, BF_ENTITY,    "(e) 1 when it casts light") \
    X(BI_ENT_SETCASTS,      174, "ent.setcasts",       2, BF_ENTITY,    "(e,on) switch light casting") \
    X(BI_ENT_MASS,          175, "ent.mass",           1, BF_ENTITY,    "(e) mass") \
    X(BI_ENT_SETMASS,       176, "ent.setmass",        2, BF_ENTITY,    "(e,m) set the mass, at least 0") \
    X(BI_ENT_PHYSICS,       177, "ent.physics",        1, BF_ENTITY,    "(e) 1 when it takes part in physics") \
    X(BI_ENT_SETPHYSICS,    178, "ent.setphysics",     2, BF_ENTITY,    "(e,on) switch physics") \
    X(BI_ENT_HIDE,          179, "ent.hide",           2, BF_ENTITY,    "(e,on) hide or show") \
    X(BI_ENT_ISHIDDEN,      180, "ent.ishidden",       1, BF_ENTITY,    "(e) 1 when hidden") \
    X(BI_ENT_MODEL,         181, "ent.model",          1, BF_ENTITY,    "(e) model, -1 none") \
    X(BI_ENT_SETMODEL,      182, "ent.setmodel",       2, BF_ENTITY,    "(e,model) set the model, -1 for none") \
    X(BI_ENT_TEX,           183, "ent.tex",            1, BF_ENTITY,    "(e) texture override, -1 none") \
    X(BI_ENT_SETTEX,        184, "ent.settex",         2, BF_ENTITY,    "(e,tex) set the texture override, -1 for none") \
    /* asset. */ \
    X(BI_ASSET_TEXCOUNT,    185, "asset.texcount",     0, BF_INPUT,     "number of loaded textures") \
    X(BI_ASSET_MODELCOUNT,  186, "asset.modelcount",   0, BF_INPUT,     "number of loaded models") \
    X(BI_ASSET_ICONCOUNT,   187, "asset.iconcount",    0, BF_INPUT,     "number of loaded icons") \
    /* sys. */ \
    X(BI_SYS_TIME,          188, "sys.time",           0, BF_INPUT,     "seconds since the window opened") \
    X(BI_SYS_FPS,           189, "sys.fps",            0, BF_INPUT,     "frames per second") \
    X(BI_SYS_FRAMETIME,     190, "sys.frametime",      0, BF_INPUT,     "last frame's duration in seconds") \
    X(BI_SYS_SCREENW,       191, "sys.screenw",        0, BF_INPUT,     "window width in pixels") \
    X(BI_SYS_SCREENH,       192, "sys.screenh",        0, BF_INPUT,     "window height in pixels") \
    X(BI_SYS_MOUSEX,        193, "sys.mousex",         0, BF_INPUT,     "mouse x in window pixels") \
    X(BI_SYS_MOUSEY,        194, "sys.mousey",         0, BF_INPUT,     "mouse y in window pixels") \
    /* key. */ \
    X(BI_KEY_DOWN,          195, "key.down",           1, BF_INPUT,     "(key) 1 while the key is held") \
    X(BI_KEY_UP,            196, "key.up",             1, BF_INPUT,     "(key) 1 while the key is not held") \
    X(BI_KEY_PRESSED,       197, "key.pressed",        1, BF_INPUT,     "(key) 1 in the frame the key goes down") \
    X(BI_KEY_RELEASED,      198, "key.released",       1, BF_INPUT,     "(key) 1 in the frame the key comes up") \
    X(BI_KEY_SHIFT,         199, "key.shift",          0, BF_INPUT,     "1 while either shift key is held") \
    X(BI_KEY_CTRL,          200, "key.ctrl",           0, BF_INPUT,     "1 while either control key is held") \
    X(BI_KEY_ALT,           201, "key.alt",            0, BF_INPUT,     "1 while either alt key is held") \
    X(BI_KEY_ANY,           202, "key.any",            0, BF_INPUT,     "next key pressed this frame, 0 when none") \
    /* mouse. */ \
    X(BI_MOUSE_DOWN,        203, "mouse.down",         1, BF_INPUT,     "(button) 1 while held: 0 left 1 right 2 middle") \
    X(BI_MOUSE_PRESSED,     204, "mouse.pressed",      1, BF_INPUT,     "(button) 1 in the frame it goes down") \
    X(BI_MOUSE_RELEASED,    205, "mouse.released",     1, BF_INPUT,     "(button) 1 in the frame it comes up") \
    X(BI_MOUSE_WHEEL,       206, "mouse.wheel",        0, BF_INPUT,     "wheel movement this frame") \
    X(BI_MOUSE_DX,          207, "mouse.dx",           0, BF_INPUT,     "mouse movement x this frame") \
    X(BI_MOUSE_DY,          208, "mouse.dy",           0, BF_INPUT,     "mouse movement y this frame") \
    X(BI_MOUSE_VP,          209, "mouse.vp",           0, BF_INPUT,     "view under the mouse: 0 3D, 1 top, 2 front, 3 side, -1 none") \
    X(BI_MOUSE_WORLDX,      210, "mouse.worldx",       0, BF_INPUT,     "world x under the mouse in a 2D view") \
    X(BI_MOUSE_WORLDY,      211, "mouse.worldy",       0, BF_INPUT,     "world y under the mouse in a 2D view") \
    X(BI_MOUSE_WORLDZ,      212, "mouse.worldz",       0, BF_INPUT,     "world z under the mouse in a 2D view") \
    /* mod. */ \
    X(BI_MOD_ISMODE,        219, "mod.ismode",         0, BF_MOD,       "1 when this tool is a mode tool") \
    X(BI_MOD_ACTIVE,        213, "mod.active",         0, BF_MOD,       "1 when this mode tool is the selected tool") \
    X(BI_MOD_FRAME,         214, "mod.frame",          0, BF_MOD,       "frames run since this mode tool was selected") \
    X(BI_MOD_EXIT,          215, "mod.exit",           0, BF_MOD,       "deselect this mode tool after the frame") \
    X(BI_MOD_GET,           216, "mod.get",            1, BF_MOD,       "(slot) read state that survives between frames, slots 0-31") \
    X(BI_MOD_SET,           217, "mod.set",            2, BF_MOD,       "(slot,v) store state that survives between frames, slots 0-31") \
    X(BI_MOD_PUSHUNDO,      218, "mod.pushundo",       0, BF_MOD,       "record an undo step before the next edit") \
    /* plain helpers */ \
    X(BI_SNAP,              220, "snap",               1, BF_PLAIN,     "(v) snap a value to the grid") \
    X(BI_LOG,               221, "log",                1, BF_PLAIN,     "(v) print a value to the log; returns it") \
    X(BI_DIST3,             222, "dist3",              6, BF_PLAIN,     "(x1,y1,z1,x2,y2,z2) distance between two points") \
    X(BI_DOT3,              223, "dot3",               6, BF_PLAIN,     "(x1,y1,z1,x2,y2,z2) dot product of two vectors") \
    X(BI_LEN3,              224, "len3",               3, BF_PLAIN,     "(x,y,z) length of a vector")
