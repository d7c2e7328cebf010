// Where a vexa-rom ROM keeps what its boot program plays: shared by the tool and the program
#pragma once

// The table starts right after the boot program's 4 KB and holds big-endian 32-bit words:
// the header words below, one capture record per capture, the pieces, then the patches.
// A piece is three words: ROM offset, RDRAM address, bytes (a multiple of 8, at most 64 KB);
// the boot program PI-DMAs each into RDRAM. A capture's pieces turn the RDRAM of the capture
// played before it into its own; the first load's pieces turn zeroed memory into the first.
// A patch is three words: an RDRAM address and the words written there before the capture's
// task in even and in odd frames.
enum PlayTable {
    kPlayTableAt       = 0x1000,
    kPlayFrames        = 0,  // frames that send tasks, 0 for ever
    kPlayTasksPerFrame = 1,  // tasks sent per frame, each of the next capture in turn
    kPlayCaptures      = 2,  // captures, at least 1
    kPlayPieces        = 3,  // ROM offset of the first piece
    kPlayFirstLoad     = 4,  // first piece and count of the load at start
    kPlayViRegisters   = 6,  // VI_STATUS .. VI_Y_SCALE, 14 words
    kPlayOtherOrigin   = 20, // VI_ORIGIN of odd frames
    kPlayPatches       = 21, // ROM offset of the first patch
    kPlayHeaderWords   = 22, // capture records follow
    kViRegisterCount   = 14,

    kRecordTask       = 0,  // the 16 words of the task header at DMEM 0xFC0
    kRecordLoad       = 16, // first piece and count
    kRecordPatches    = 18, // first patch and count
    kRecordWords      = 20,
    kTaskHeaderWords  = 16,
    kTaskHeaderInDmem = 0xFC0,

    kBootProgramAt  = 0x40,
    kBootProgramEnd = 0xFC0, // the program stays below the task header
    kMaxPieceBytes  = 0x10000,
    kPieceBytes     = 12,
    kPatchBytes     = 12,
};
