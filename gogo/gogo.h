/* gogo.dll: an MP3 encoder library built on LAME.
 *
 * One encoder per calling thread: threads that convert at the same time do
 * not share settings or state, and a thread that uses the library alone sees
 * one encoder, as ever. A conversion runs as: MPGE_initializeWork;
 * MPGE_setConfigure for each item (input and output first or last, in any
 * order); MPGE_detectConfigure, which checks the items and starts the
 * encoder; MPGE_processFrame until it returns GOGO_END (or an error);
 * MPGE_closeCoder, which encodes what the encoder still holds and completes
 * the stream's header. MPGE_endCoder frees everything before the library is
 * unloaded. All functions use the C calling convention and return GOGO_OK
 * (0) on success. */
#ifndef GOGO_H
#define GOGO_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define GOGO_CALL __cdecl
#ifdef GOGO_BUILDING_LIBRARY
#define GOGO_API __declspec(dllexport)
#else
#define GOGO_API __declspec(dllimport)
#endif

/* Results. */
#define GOGO_OK 0
#define GOGO_END 1              /* MPGE_processFrame: the input has ended */
#define GOGO_ERR_ORDER 2        /* called before the step it depends on */
#define GOGO_ERR_ITEM 3         /* an item this library does not know */
#define GOGO_ERR_VALUE 4        /* a value the item cannot take */
#define GOGO_ERR_INPUT_FORMAT 5 /* channels, bits or sample rate not encodable */
#define GOGO_ERR_NO_INPUT 6     /* GOGO_ITEM_INPUT was never set */
#define GOGO_ERR_NO_OUTPUT 7    /* GOGO_ITEM_OUTPUT was never set */
#define GOGO_ERR_ENCODER 8      /* LAME refused the settings or failed */
#define GOGO_ERR_MEMORY 9
#define GOGO_ERR_BITRATE 13 /* a bit rate the sample rate cannot carry */
#define GOGO_ERR_WRITE 24   /* the output function failed */

/* Configuration items: MPGE_setConfigure(item, value1, value2). */
#define GOGO_ITEM_INPUT 1        /* value1 GOGO_INPUT_BY_FUNCTION, value2 address of a GOGO_INPUT */
#define GOGO_ITEM_OUTPUT 2       /* value1 GOGO_OUTPUT_BY_FUNCTION, value2 a GOGO_OUTPUT_FUNC */
#define GOGO_ITEM_CHANNEL_MODE 3 /* value1 GOGO_MODE_* (default GOGO_MODE_STEREO) */
#define GOGO_ITEM_BITRATE 4      /* value1 kbit/s (default 128); not used with VBR on */
/* value1 0 (largest, best) to 9 (smallest): switches to variable bit rate.
 * The quality alone decides each frame's rate, over every rate the sample
 * rate has, so that no VBR setting becomes a constant rate. */
#define GOGO_ITEM_VBR_QUALITY 18
#define GOGO_ITEM_RIFF_WAVE 26   /* value1 1: Layer-3 WAVE file, 0: plain MP3 (default) */
#define GOGO_ITEM_VBR_LIMITS 30  /* value1, value2 kbit/s: kept, and not used (see above) */
/* value1: the threads one stream is encoded on, split into blocks of frames
 * whose output is joined into one stream (0: one per processor; 1, or the
 * item unset: a single encoder). value2 1: split even on one thread. A split
 * stream is the same for every thread count. Libraries without it answer
 * GOGO_ERR_ITEM. */
#define GOGO_ITEM_THREADS 31
/* value1: a GOGO_COUNTED_INPUT_FUNC the library reads through instead of
 * the function of GOGO_ITEM_INPUT. It tells how many bytes each read
 * delivered, so that sample frames of zero bytes at the end are encoded as
 * the silence they are, not taken as fill. Libraries without it answer
 * GOGO_ERR_ITEM and read through the other function. */
#define GOGO_ITEM_COUNTED_INPUT 32
/* Read only (MPGE_getConfigure): value1 1 when every calling thread has an
 * encoder of its own. Libraries without it answer GOGO_ERR_ITEM. */
#define GOGO_ITEM_THREAD_ENCODERS 100
/* Read only: value1 1 when one stream can be split over threads
 * (GOGO_ITEM_THREADS). Libraries without it answer GOGO_ERR_ITEM. */
#define GOGO_ITEM_SPLIT_ENCODER 101

#define GOGO_INPUT_BY_FUNCTION 2
#define GOGO_OUTPUT_BY_FUNCTION 3

#define GOGO_MODE_MONO 0
#define GOGO_MODE_STEREO 1
#define GOGO_MODE_JOINT_STEREO 2
#define GOGO_MODE_MID_SIDE 3
#define GOGO_MODE_DUAL_CHANNEL 4

/* Fills the whole buffer: PCM bytes, then zero bytes once the input has run
 * out. Returns 0 while more input follows and 1 when none is left after this
 * call. With an unknown input length, trailing sample frames of zero bytes in
 * that last buffer are taken as fill and not encoded. */
typedef int(GOGO_CALL* GOGO_INPUT_FUNC)(void* buffer, unsigned long length);

/* As GOGO_INPUT_FUNC, and sets *delivered to the bytes of input at the
 * start of the buffer; the rest is fill. */
typedef int(GOGO_CALL* GOGO_COUNTED_INPUT_FUNC)(void* buffer, unsigned long length,
                                               unsigned long* delivered);

/* With a buffer: writes length bytes at the current position and returns 0,
 * or non-zero on failure. With a null buffer: moves to the start of the
 * stream and returns the stream's length (low 32 bits); the library then
 * rewrites the stream's beginning. */
typedef int(GOGO_CALL* GOGO_OUTPUT_FUNC)(void* buffer, unsigned long length);

#define GOGO_UNKNOWN_LENGTH 0xFFFFFFFFu

/* The input: interleaved little-endian PCM, 8-bit unsigned or 16, 24 or 32-bit
 * signed. Five 32-bit fields on 32-bit Windows. */
typedef struct GOGO_INPUT {
    GOGO_INPUT_FUNC read;
    uint32_t length; /* bytes, or GOGO_UNKNOWN_LENGTH */
    uint32_t bitsPerSample;
    uint32_t samplesPerSecond;
    uint32_t channels;
} GOGO_INPUT;

/* MPGE_getUnitStates flags: what the encoder runs on. */
#define GOGO_UNIT_SSE2 0x1

GOGO_API int GOGO_CALL MPGE_initializeWork(void);
GOGO_API int GOGO_CALL MPGE_setConfigure(int item, uintptr_t value1, uintptr_t value2);
/* The two values an item was last set to. */
GOGO_API int GOGO_CALL MPGE_getConfigure(int item, uintptr_t* value1, uintptr_t* value2);
/* GOGO_ERR_BITRATE for a bit rate the (output) sample rate cannot carry,
 * another non-zero result for any other impossible setting. */
GOGO_API int GOGO_CALL MPGE_detectConfigure(void);
/* Reads at most one frame of input; GOGO_END when the input has ended. */
GOGO_API int GOGO_CALL MPGE_processFrame(void);
GOGO_API int GOGO_CALL MPGE_closeCoder(void);
GOGO_API int GOGO_CALL MPGE_endCoder(void);
/* version: major in bits 8 to 15, minor in bits 0 to 7; text: a
 * zero-terminated description cut to textSize bytes. */
GOGO_API int GOGO_CALL MPGE_getVersion(unsigned long* version, char* text, unsigned long textSize);
GOGO_API int GOGO_CALL MPGE_getUnitStates(unsigned long* units);

/* For callers that bind the entry points at run time. */
typedef int(GOGO_CALL* MPGE_INITIALIZEWORK_PROC)(void);
typedef int(GOGO_CALL* MPGE_SETCONFIGURE_PROC)(int, uintptr_t, uintptr_t);
typedef int(GOGO_CALL* MPGE_GETCONFIGURE_PROC)(int, uintptr_t*, uintptr_t*);
typedef int(GOGO_CALL* MPGE_DETECTCONFIGURE_PROC)(void);
typedef int(GOGO_CALL* MPGE_PROCESSFRAME_PROC)(void);
typedef int(GOGO_CALL* MPGE_CLOSECODER_PROC)(void);
typedef int(GOGO_CALL* MPGE_ENDCODER_PROC)(void);
typedef int(GOGO_CALL* MPGE_GETVERSION_PROC)(unsigned long*, char*, unsigned long);
typedef int(GOGO_CALL* MPGE_GETUNITSTATES_PROC)(unsigned long*);

#ifdef __cplusplus
}
#endif

#endif
