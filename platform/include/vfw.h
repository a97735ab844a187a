/* Video for Windows: AVI files and streams, frame decompression, compression
   options and DrawDib. Record layouts keep their classic sizes on LP64. */
#pragma once

#include "mmreg.h"
#include "windef.h"
#include "wingdi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Handles: opaque values, never dereferenced by callers ---- */

typedef struct IAVIFile* PAVIFILE;
typedef struct IAVIStream* PAVISTREAM;
typedef struct IGetFrame* PGETFRAME;

#ifndef GUID_DEFINED
#define GUID_DEFINED
typedef struct _GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
} GUID;
#endif
typedef GUID CLSID;
typedef CLSID* LPCLSID;

/* ---- File open modes ---- */

#ifndef OF_READ
#define OF_READ 0x0000
#define OF_WRITE 0x0001
#define OF_READWRITE 0x0002
#define OF_SHARE_COMPAT 0x0000
#define OF_SHARE_EXCLUSIVE 0x0010
#define OF_SHARE_DENY_WRITE 0x0020
#define OF_SHARE_DENY_READ 0x0030
#define OF_SHARE_DENY_NONE 0x0040
#define OF_CREATE 0x1000
#endif

/* ---- Stream types and chunk types ---- */

#define streamtypeVIDEO mmioFOURCC('v', 'i', 'd', 's')
#define streamtypeAUDIO mmioFOURCC('a', 'u', 'd', 's')
#define streamtypeMIDI mmioFOURCC('m', 'i', 'd', 's')
#define streamtypeTEXT mmioFOURCC('t', 'x', 't', 's')
#define streamtypeANY 0UL
#define comptypeDIB mmioFOURCC('D', 'I', 'B', ' ')
#define ICTYPE_VIDEO mmioFOURCC('v', 'i', 'd', 'c')
#define ICTYPE_AUDIO mmioFOURCC('a', 'u', 'd', 'c')

#define cktypeDIBbits 0x6264       /* 'db' */
#define cktypeDIBcompressed 0x6364 /* 'dc' */
#define cktypePALchange 0x6370     /* 'pc' */
#define cktypeWAVEbytes 0x6277     /* 'wb' */

/* ---- Index entry flags ---- */

#define AVIIF_LIST 0x00000001L
#define AVIIF_TWOCC 0x00000002L
#define AVIIF_KEYFRAME 0x00000010L
#define AVIIF_FIRSTPART 0x00000020L
#define AVIIF_LASTPART 0x00000040L
#define AVIIF_MIDPART (AVIIF_LASTPART | AVIIF_FIRSTPART)
#define AVIIF_NOTIME 0x00000100L
#define AVIIF_NO_TIME AVIIF_NOTIME
#define AVIIF_COMPUSE 0x0FFF0000L

/* ---- Header flags ---- */

#define AVIF_HASINDEX 0x00000010
#define AVIF_MUSTUSEINDEX 0x00000020
#define AVIF_ISINTERLEAVED 0x00000100
#define AVIF_TRUSTCKTYPE 0x00000800
#define AVIF_WASCAPTUREFILE 0x00010000
#define AVIF_COPYRIGHTED 0x00020000

#define AVIFILEINFO_HASINDEX 0x00000010
#define AVIFILEINFO_MUSTUSEINDEX 0x00000020
#define AVIFILEINFO_ISINTERLEAVED 0x00000100
#define AVIFILEINFO_TRUSTCKTYPE 0x00000800
#define AVIFILEINFO_WASCAPTUREFILE 0x00010000
#define AVIFILEINFO_COPYRIGHTED 0x00020000

#define AVIFILECAPS_CANREAD 0x00000001
#define AVIFILECAPS_CANWRITE 0x00000002
#define AVIFILECAPS_ALLKEYFRAMES 0x00000010
#define AVIFILECAPS_NOCOMPRESSION 0x00000020

#define AVISF_DISABLED 0x00000001
#define AVISF_VIDEO_PALCHANGES 0x00010000
#define AVISTREAMINFO_DISABLED 0x00000001
#define AVISTREAMINFO_FORMATCHANGES 0x00010000

/* ---- Sample search ---- */

#define FIND_DIR 0x0000000FL
#define FIND_NEXT 0x00000001L
#define FIND_PREV 0x00000004L
#define FIND_FROM_START 0x00000008L
#define FIND_TYPE 0x000000F0L
#define FIND_KEY 0x00000010L
#define FIND_ANY 0x00000020L
#define FIND_FORMAT 0x00000040L
#define FIND_RET 0x0000F000L
#define FIND_POS 0x00000000L
#define FIND_LENGTH 0x00001000L
#define FIND_OFFSET 0x00002000L
#define FIND_SIZE 0x00003000L
#define FIND_INDEX 0x00004000L

#define AVISTREAMREAD_CONVENIENT (-1L)
#define AVIGETFRAMEF_BESTDISPLAYFMT 1

/* ---- Compression options ---- */

#define ICMF_CHOOSE_KEYFRAME 0x0001
#define ICMF_CHOOSE_DATARATE 0x0002
#define ICMF_CHOOSE_PREVIEW 0x0004
#define ICMF_CHOOSE_ALLCOMPRESSORS 0x0008

#define AVICOMPRESSF_INTERLEAVE 0x00000001
#define AVICOMPRESSF_DATARATE 0x00000002
#define AVICOMPRESSF_KEYFRAMES 0x00000004
#define AVICOMPRESSF_VALID 0x00000008

#define ICQUALITY_LOW 0
#define ICQUALITY_HIGH 10000
#define ICQUALITY_DEFAULT (-1)

/* ---- Error codes ---- */

#define MAKE_AVIERR(error) ((HRESULT)(0x80040000UL | (0x4000UL + (error))))
#define AVIERR_OK ((HRESULT)0)
#define AVIERR_UNSUPPORTED MAKE_AVIERR(101)
#define AVIERR_BADFORMAT MAKE_AVIERR(102)
#define AVIERR_MEMORY MAKE_AVIERR(103)
#define AVIERR_INTERNAL MAKE_AVIERR(104)
#define AVIERR_BADFLAGS MAKE_AVIERR(105)
#define AVIERR_BADPARAM MAKE_AVIERR(106)
#define AVIERR_BADSIZE MAKE_AVIERR(107)
#define AVIERR_BADHANDLE MAKE_AVIERR(108)
#define AVIERR_FILEREAD MAKE_AVIERR(109)
#define AVIERR_FILEWRITE MAKE_AVIERR(110)
#define AVIERR_FILEOPEN MAKE_AVIERR(111)
#define AVIERR_COMPRESSOR MAKE_AVIERR(112)
#define AVIERR_NOCOMPRESSOR MAKE_AVIERR(113)
#define AVIERR_READONLY MAKE_AVIERR(114)
#define AVIERR_NODATA MAKE_AVIERR(115)
#define AVIERR_BUFFERTOOSMALL MAKE_AVIERR(116)
#define AVIERR_CANTCOMPRESS MAKE_AVIERR(117)
#define AVIERR_USERABORT MAKE_AVIERR(198)
#define AVIERR_ERROR MAKE_AVIERR(199)

/* ---- Records ---- */

typedef struct _AVIFILEINFOA {
    DWORD dwMaxBytesPerSec;
    DWORD dwFlags;
    DWORD dwCaps;
    DWORD dwStreams;
    DWORD dwSuggestedBufferSize;
    DWORD dwWidth;
    DWORD dwHeight;
    DWORD dwScale;
    DWORD dwRate;
    DWORD dwLength;
    DWORD dwEditCount;
    char szFileType[64];
} AVIFILEINFOA, *LPAVIFILEINFOA;
typedef AVIFILEINFOA AVIFILEINFO;
typedef LPAVIFILEINFOA LPAVIFILEINFO;

typedef struct _AVISTREAMINFOA {
    DWORD fccType;
    DWORD fccHandler;
    DWORD dwFlags;
    DWORD dwCaps;
    WORD wPriority;
    WORD wLanguage;
    DWORD dwScale;
    DWORD dwRate;
    DWORD dwStart;
    DWORD dwLength;
    DWORD dwInitialFrames;
    DWORD dwSuggestedBufferSize;
    DWORD dwQuality;
    DWORD dwSampleSize;
    RECT rcFrame;
    DWORD dwEditCount;
    DWORD dwFormatChangeCount;
    char szName[64];
} AVISTREAMINFOA, *LPAVISTREAMINFOA;
typedef AVISTREAMINFOA AVISTREAMINFO;
typedef LPAVISTREAMINFOA LPAVISTREAMINFO;

#pragma pack(push, 8)
typedef struct {
    DWORD fccType;
    DWORD fccHandler;
    DWORD dwKeyFrameEvery;
    DWORD dwQuality;
    DWORD dwBytesPerSecond;
    DWORD dwFlags;
    LPVOID lpFormat;
    DWORD cbFormat;
    LPVOID lpParms;
    DWORD cbParms;
    DWORD dwInterleaveEvery;
} AVICOMPRESSOPTIONS, *LPAVICOMPRESSOPTIONS;
#pragma pack(pop)

typedef LONG(PASCAL* AVISAVECALLBACK)(int nPercent);

/* ---- Library and files ---- */

void WINAPI AVIFileInit(void);
void WINAPI AVIFileExit(void);
HRESULT WINAPI AVIFileOpenA(PAVIFILE* ppfile, LPCSTR szFile, UINT uMode, LPCLSID lpHandler);
ULONG WINAPI AVIFileAddRef(PAVIFILE pfile);
ULONG WINAPI AVIFileRelease(PAVIFILE pfile);
/* An extension of this layer: ends the writing of a file created with
   OF_CREATE now instead of at its last release. With fKeep the file is
   completed and put at its path, and the outcome is returned, which a release
   cannot report (AVIERR_FILEWRITE: not completed, nothing left behind); without
   it everything written is dropped and the path stays as it was. Later writes
   fail; the handle is still released as usual. */
HRESULT WINAPI AVIFileEndWrite(PAVIFILE pfile, BOOL fKeep);
HRESULT WINAPI AVIFileInfoA(PAVIFILE pfile, LPAVIFILEINFOA pfi, LONG lSize);
HRESULT WINAPI AVIFileGetStream(PAVIFILE pfile, PAVISTREAM* ppavi, DWORD fccType, LONG lParam);
HRESULT WINAPI AVIFileCreateStreamA(PAVIFILE pfile, PAVISTREAM* ppavi, AVISTREAMINFOA* psi);

/* ---- Streams ---- */

ULONG WINAPI AVIStreamAddRef(PAVISTREAM pavi);
ULONG WINAPI AVIStreamRelease(PAVISTREAM pavi);
HRESULT WINAPI AVIStreamInfoA(PAVISTREAM pavi, LPAVISTREAMINFOA psi, LONG lSize);
LONG WINAPI AVIStreamStart(PAVISTREAM pavi);
LONG WINAPI AVIStreamLength(PAVISTREAM pavi);
LONG WINAPI AVIStreamFindSample(PAVISTREAM pavi, LONG lPos, LONG lFlags);
HRESULT WINAPI AVIStreamReadFormat(PAVISTREAM pavi, LONG lPos, LPVOID lpFormat, LONG* lpcbFormat);
HRESULT WINAPI AVIStreamSetFormat(PAVISTREAM pavi, LONG lPos, LPVOID lpFormat, LONG cbFormat);
HRESULT WINAPI AVIStreamRead(PAVISTREAM pavi, LONG lStart, LONG lSamples, LPVOID lpBuffer,
                             LONG cbBuffer, LONG* plBytes, LONG* plSamples);
HRESULT WINAPI AVIStreamWrite(PAVISTREAM pavi, LONG lStart, LONG lSamples, LPVOID lpBuffer,
                              LONG cbBuffer, DWORD dwFlags, LONG* plSampWritten,
                              LONG* plBytesWritten);

#define AVIStreamEnd(pavi) (AVIStreamStart(pavi) + AVIStreamLength(pavi))
#define AVIStreamNextSample(pavi, l) AVIStreamFindSample(pavi, (l) + 1, FIND_NEXT | FIND_ANY)
#define AVIStreamPrevSample(pavi, l) AVIStreamFindSample(pavi, (l)-1, FIND_PREV | FIND_ANY)
#define AVIStreamNearestSample(pavi, l) AVIStreamFindSample(pavi, l, FIND_PREV | FIND_ANY)
#define AVIStreamNextKeyFrame(pavi, l) AVIStreamFindSample(pavi, (l) + 1, FIND_NEXT | FIND_KEY)
#define AVIStreamPrevKeyFrame(pavi, l) AVIStreamFindSample(pavi, (l)-1, FIND_PREV | FIND_KEY)
#define AVIStreamNearestKeyFrame(pavi, l) AVIStreamFindSample(pavi, l, FIND_PREV | FIND_KEY)
#define AVIStreamIsKeyFrame(pavi, l) (AVIStreamNearestKeyFrame(pavi, l) == (l))
#define AVIStreamSampleSize(pavi, lPos, plSize) AVIStreamRead(pavi, lPos, 1, NULL, 0, plSize, NULL)
#define AVIStreamFormatSize(pavi, lPos, plSize) AVIStreamReadFormat(pavi, lPos, NULL, plSize)

/* ---- Frame decompression ---- */

PGETFRAME WINAPI AVIStreamGetFrameOpen(PAVISTREAM pavi, LPBITMAPINFOHEADER lpbiWanted);
LPVOID WINAPI AVIStreamGetFrame(PGETFRAME pg, LONG lPos);
HRESULT WINAPI AVIStreamGetFrameClose(PGETFRAME pg);

/* ---- Compression and saving ---- */

INT_PTR WINAPI AVISaveOptions(HWND hwnd, UINT uiFlags, int nStreams, PAVISTREAM* ppavi,
                              LPAVICOMPRESSOPTIONS* plpOptions);
HRESULT WINAPI AVISaveOptionsFree(int nStreams, LPAVICOMPRESSOPTIONS* plpOptions);
HRESULT WINAPI AVIMakeCompressedStream(PAVISTREAM* ppsCompressed, PAVISTREAM psSource,
                                       LPAVICOMPRESSOPTIONS lpOptions, LPCLSID pclsidHandler);
HRESULT AVISaveA(LPCSTR szFile, LPCLSID pclsidHandler, AVISAVECALLBACK lpfnCallback, int nStreams,
                 PAVISTREAM pfile, LPAVICOMPRESSOPTIONS lpOptions, ...);

/* ---- DrawDib ---- */

#define DDF_0001 0x0001
#define DDF_UPDATE 0x0002
#define DDF_SAME_HDC 0x0004
#define DDF_SAME_DRAW 0x0008
#define DDF_DONTDRAW 0x0010
#define DDF_ANIMATE 0x0020
#define DDF_BUFFER 0x0040
#define DDF_JUSTDRAWIT 0x0080
#define DDF_FULLSCREEN 0x0100
#define DDF_BACKGROUNDPAL 0x0200
#define DDF_NOTKEYFRAME 0x0400
#define DDF_HURRYUP 0x0800
#define DDF_HALFTONE 0x1000
#define DDF_PREROLL DDF_DONTDRAW
#define DDF_SAME_DIB DDF_SAME_DRAW
#define DDF_SAME_SIZE DDF_SAME_DRAW

HDRAWDIB WINAPI DrawDibOpen(void);
BOOL WINAPI DrawDibClose(HDRAWDIB hdd);
BOOL WINAPI DrawDibBegin(HDRAWDIB hdd, HDC hdc, int dxDst, int dyDst, LPBITMAPINFOHEADER lpbi,
                         int dxSrc, int dySrc, UINT wFlags);
BOOL WINAPI DrawDibEnd(HDRAWDIB hdd);
BOOL WINAPI DrawDibDraw(HDRAWDIB hdd, HDC hdc, int xDst, int yDst, int dxDst, int dyDst,
                        LPBITMAPINFOHEADER lpbi, LPVOID lpBits, int xSrc, int ySrc, int dxSrc,
                        int dySrc, UINT wFlags);

#ifdef __cplusplus
}
#endif
