// What the boot program's CPU does in each frame besides sending tasks; the VI then shows the
// CPU's buffer instead of the one the tasks drew.
enum PlayCpu {
    kCpuNothing = 0,
    kCpuDraws   = 1, // draws colour bars (red, green, blue, white) into its buffer
    kCpuCopies  = 2, // copies the buffer the tasks drew into its buffer
};

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
    kPlayCpu           = 22, // what the CPU does each frame (PlayCpu)
    kPlayTaskEvery     = 23, // tasks are sent in every K-th frame only
    kPlayDrawn         = 24, // the buffer the tasks draw in even and in odd frames, 2 words
    kPlayCpuBuffers    = 26, // the buffers the CPU writes in even and in odd frames, 2 words
    kPlayFrameBytes    = 28, // bytes of one buffer
    kPlayHeaderWords   = 29, // capture records follow
    kViRegisterCount   = 14,

    kRecordTask       = 0,  // the 16 words of the task header at DMEM 0xFC0
    kRecordLoad       = 16, // first piece and count
    kRecordPatches    = 18, // first patch and count
    kRecordWords      = 20,
    kTaskHeaderWords  = 16,
    kTaskHeaderInDmem = 0xFC0,

    kBootProgramAt   = 0x40,
    kBootProgramEnd  = 0xFC0, // the program stays below the task header
    kMaxPieceBytes   = 0x10000,
    kCpuBufferLines  = 240,
    kCpuCounterLines = 16, // the field's number drawn by the CPU over its bars
    kCpuCounterBits  = 10,
    kPieceBytes      = 12,
    kPatchBytes      = 12,
};
