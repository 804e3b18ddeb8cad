// What many screens and dialogs do to set up their controls: a picture button placed from the layout with the
// pictures of a slot, and a picture read from the data archive into a holder of their own.
#pragma once
#include "os/Types.h"

class SButtonCtrl;
class SDatabase;
class SDialog;
struct SImageEntry;

// Places a picture button of the dialog's layout, reporting its id: the picture set of the picture slot (a
// numbered slot or a role picture, core/SRolePictures.h), at its place's corner and its picture's size (the
// layouts give such places their pictures' size), or, without a picture, the whole place (a tap area that
// paints nothing). False when the layout has no entry for it. A disabled button of a role picture set shows
// the set's disabled picture: its pressed one is lit as the chosen tab is, so a disabled tab drawn pressed
// would look exactly like the chosen one. The numbered slots' sets have only up and pressed pictures.
bool PlaceButton(SDialog& dialog, SButtonCtrl& button, u16 id, u32 slot, u32 key = 0);

// Reads a picture record of the data archive into a holder (the record is the image from its first byte).
// False, and the holder left empty, when the record is missing or is no image with its colours.
bool LoadDataPicture(SDatabase* data, u16 id, SImageEntry& holder);
