/* An add-in as a foreign author writes it: plain C against Microsoft's documented C API, with
 * record declarations of its own, registering through Excel4v (texts as counted byte strings)
 * and calling Excel 12 through MdCallBack12 of the Excel process. xlhost's end-to-end cases run
 * it. */
#include <windows.h>

#include <stdlib.h>
#include <string.h>

#define EXPORT __declspec(dllexport)

/* --- Records: the published layouts ------------------------------------------------------- */
typedef struct { WORD rwFirst, rwLast; BYTE colFirst, colLast; } REF4;
typedef struct { int rwFirst, rwLast, colFirst, colLast; } REF12;
typedef struct { WORD count; REF4 ref[1]; } MREF4;
typedef struct { WORD count; REF12 ref[1]; } MREF12;

typedef struct OPER4 {
    union {
        double num;
        char *str;
        WORD xbool, err;
        short w;
        struct { WORD count; REF4 ref; } sref;
        struct { MREF4 *lpmref; DWORD_PTR idSheet; } mref;
        struct { struct OPER4 *lparray; WORD rows, columns; } array;
        struct { HANDLE h; long cbData; } bigdata;
    } val;
    WORD xltype;
} OPER4;

typedef struct OPER12 {
    union {
        double num;
        WCHAR *str;
        int xbool, err, w;
        struct { WORD count; REF12 ref; } sref;
        struct { MREF12 *lpmref; DWORD_PTR idSheet; } mref;
        struct { struct OPER12 *lparray; int rows, columns; } array;
        struct { HANDLE h; long cbData; } bigdata;
    } val;
    DWORD xltype;
} OPER12;

typedef struct { WORD rows, columns; double array[1]; } FP4;
typedef struct { int rows, columns; double array[1]; } FP12;

enum { T_NUM = 1, T_STR = 2, T_BOOL = 4, T_REF = 8, T_ERR = 16, T_MULTI = 64, T_MISSING = 128,
       T_NIL = 256, T_SREF = 0x400, T_INT = 0x800, T_BIGDATA = 0x802, BIT_XLFREE = 0x1000,
       BIT_DLLFREE = 0x4000, ERR_VALUE = 15 };
enum { FN_FREE = 0x4000, FN_STACK = 0x4001, FN_COERCE = 0x4002, FN_SET = 0x4003,
       FN_SHEETID = 0x4004, FN_SHEETNM = 0x4005, FN_GETINST = 0x4007, FN_GETNAME = 0x4009,
       FN_EVENTREGISTER = 0x4011, FN_GETINSTPTR = 0x4013, FN_REGISTER = 149, FN_SETNAME = 88,
       FN_CALLER = 89, FN_EVALUATE = 257, FN_ASYNCRETURN = 0x4010, FN_MESSAGE = 0x807A,
       FN_GETWORKSPACE = 186 };
enum { EVENT_ENDED = 1, EVENT_CANCELED = 2 };

typedef int(WINAPI *EXCEL4V)(int, OPER4 *, int, OPER4 **);
typedef int(WINAPI *CALLBACK12)(int, int, OPER12 **, OPER12 *);

static EXCEL4V excel4v;
static CALLBACK12 callback12;
static int freedResults;

static int Excel4v(int function, OPER4 *result, int count, OPER4 **args) {
    return excel4v ? excel4v(function, result, count, args) : 32;
}

static int Excel12v(int function, OPER12 *result, int count, OPER12 **args) {
    return callback12 ? callback12(function, count, args, result) : 32;
}

/* A counted byte text in a static pool, as registration texts are built. */
static OPER4 Text4(const char *text) {
    static char pool[16384];
    static size_t used;
    OPER4 record;
    size_t length = strlen(text);
    if (length > 255) length = 255;
    if (used + length + 1 > sizeof pool) used = 0;
    pool[used] = (char)length;
    memcpy(pool + used + 1, text, length);
    record.val.str = pool + used;
    record.xltype = T_STR;
    used += length + 1;
    return record;
}

/* REGISTER(module, procedure, type, name, arguments, macro type as text), the way Microsoft's
 * samples give the macro type. */
static void Register(OPER4 *module, const char *procedure, const char *type, const char *name,
                     const char *macroType) {
    OPER4 args[6], result;
    OPER4 *pointers[6];
    int i;
    args[0] = *module;
    args[1] = Text4(procedure);
    args[2] = Text4(type);
    args[3] = Text4(name);
    args[4] = Text4("");
    args[5] = Text4(macroType);
    for (i = 0; i < 6; ++i) pointers[i] = &args[i];
    Excel4v(FN_REGISTER, &result, 6, pointers);
}

/* Excel's major version, from the text GET.WORKSPACE(2) answers ("14.0"); 0 when unknown. */
static int ExcelVersion(void) {
    OPER4 item, text;
    OPER4 *args[1];
    char digits[8];
    int length;
    item.xltype = T_NUM;
    item.val.num = 2;
    args[0] = &item;
    if (Excel4v(FN_GETWORKSPACE, &text, 1, args) != 0 || text.xltype != T_STR) return 0;
    length = (unsigned char)text.val.str[0] < 7 ? (unsigned char)text.val.str[0] : 7;
    memcpy(digits, text.val.str + 1, length);
    digits[length] = '\0';
    args[0] = &text;
    Excel4v(FN_FREE, NULL, 1, args);
    return atoi(digits);
}

EXPORT int WINAPI xlAutoOpen(void) {
    OPER4 module;
    OPER4 *none[1];
    char types[260];
    HMODULE xlcall = GetModuleHandleA("XLCALL32.DLL");
    if (xlcall == NULL) xlcall = LoadLibraryA("XLCALL32.DLL");
    excel4v = (EXCEL4V)(void (*)(void))GetProcAddress(xlcall, "Excel4v");
    callback12 = (CALLBACK12)(void (*)(void))GetProcAddress(GetModuleHandleA(NULL), "MdCallBack12");
    if (Excel4v(FN_GETNAME, &module, 0, none) != 0) return 0;
    Register(&module, "Twice", "BB", "Twice", "1");
    Register(&module, "Join", "CCDC%D%", "Join", "1");
    Register(&module, "Integers", "JHIJ", "Integers", "1");
    Register(&module, "Pointers", "NEMNL", "Pointers", "1");
    Register(&module, "TableSum", "BK", "TableSum", "1");
    Register(&module, "TableSum12", "BK%", "TableSum12", "1");
    Register(&module, "Upper", "1F", "Upper", "1");
    Register(&module, "Negate", "1O", "Negate", "");
    Register(&module, "Owned", "QQ", "Owned", "1");
    Register(&module, "Owned4", "PP", "Owned4", "1");
    Register(&module, "FreedResults", "J", "FreedResults", "1");
    Register(&module, "Where", "Q", "Where", "1");
    Register(&module, "Evaluate", "QQ", "Evaluate", "1");
    Register(&module, "Named", "QQQ", "Named", "1");
    Register(&module, "Handles", "Q", "Handles", "1");
    Register(&module, "Unplayed", "J", "Unplayed", "1");
    Register(&module, "Crash", "BB", "Crash", "1");
    Register(&module, "Throw", "BB", "Throw", "1");
    Register(&module, "Command", "J", "Command", "2");
    Register(&module, "SumRange", "QU", "SumRange", "1");
    Register(&module, "Address", "QU", "Address", "1");
    Register(&module, "Address4", "CR", "Address4", "1");
    Register(&module, "Kinds", "QQ", "Kinds", "1");
    Register(&module, "Itself", "UU", "Itself", "1");
    Register(&module, "Func", "UX", "Func", "1");
    if (ExcelVersion() >= 14) { /* asynchronous functions came with Excel 2010 */
        Register(&module, "Later", ">QX", "Later", "1");
        Register(&module, "Never", ">QX", "Never", "1");
        Register(&module, "Release", "A", "Release", "1");
        Register(&module, "CalculationEnded", "J", "CalculationEnded", "2");
        Register(&module, "CalculationCanceled", "J", "CalculationCanceled", "2");
    }
    memset(types, 'B', 31);
    types[31] = '\0';
    Register(&module, "Sum30", types, "Sum30", "1");
    none[0] = &module;
    Excel4v(FN_FREE, NULL, 1, none);
    return 1;
}

/* --- Asynchronous functions: each answer comes from a thread of the add-in's own ----------- */
static HANDLE released;    /* set by Release(): the answering threads go on */
static OPER12 neverHandle; /* the handle Never() keeps and answers only when it is too late */
static int neverCalled;

/* Shows the text in the status bar, as xlhost --status prints it. */
static void Status(const char *text) {
    static WCHAR units[128];
    OPER12 show, message;
    OPER12 *args[2];
    int i;
    for (i = 0; text[i] && i < 126; ++i) units[i + 1] = (WCHAR)text[i];
    units[0] = (WCHAR)i;
    show.xltype = T_BOOL;
    show.val.xbool = 1;
    message.xltype = T_STR;
    message.val.str = units;
    args[0] = &show;
    args[1] = &message;
    Excel12v(FN_MESSAGE, NULL, 2, args);
}

/* xlAsyncReturn of the value for the handle: Excel's return code. */
static int AsyncReturn(OPER12 *handle, OPER12 *value) {
    OPER12 result;
    OPER12 *args[2];
    args[0] = handle;
    args[1] = value;
    return Excel12v(FN_ASYNCRETURN, &result, 2, args);
}

static void RegisterEvent(const char *procedure, int event) {
    static WCHAR names[2][32];
    OPER12 name, number, result;
    OPER12 *args[2];
    WCHAR *units = names[event - 1];
    int i;
    for (i = 0; procedure[i] && i < 30; ++i) units[i + 1] = (WCHAR)procedure[i];
    units[0] = (WCHAR)i;
    name.xltype = T_STR;
    name.val.str = units;
    number.xltype = T_INT;
    number.val.w = event;
    args[0] = &name;
    args[1] = &number;
    Excel12v(FN_EVENTREGISTER, &result, 2, args);
}

/* The first asynchronous call registers the commands for the end and the cancel of a
 * calculation, and the gate the answering threads wait at. */
static void StartAsynchronous(void) {
    if (released != NULL) return;
    released = CreateEventA(NULL, TRUE, FALSE, NULL);
    RegisterEvent("CalculationEnded", EVENT_ENDED);
    RegisterEvent("CalculationCanceled", EVENT_CANCELED);
}

typedef struct { OPER12 handle; OPER12 value; } LATER;

/* Waits for Release() (at most five seconds), then answers twice the number. */
static DWORD WINAPI Answer(void *parameter) {
    LATER *later = (LATER *)parameter;
    WaitForSingleObject(released, 5000);
    if (later->value.xltype == T_NUM) later->value.val.num *= 2;
    AsyncReturn(&later->handle, &later->value);
    free(later);
    return 0;
}

/* Returns at once; a thread of its own answers once Release() has been called: twice a number,
 * #VALUE! for anything else. The handle is copied: its record lives only as long as the call. */
EXPORT void WINAPI Later(OPER12 *value, OPER12 *handle) {
    LATER *later = (LATER *)malloc(sizeof *later);
    HANDLE thread;
    StartAsynchronous();
    later->handle = *handle;
    later->value.xltype = T_NUM;
    later->value.val.num = value->val.num;
    if ((value->xltype & 0xFFF) != T_NUM) {
        later->value.xltype = T_ERR;
        later->value.val.err = ERR_VALUE;
    }
    thread = CreateThread(NULL, 0, Answer, later, 0, NULL);
    if (thread != NULL) CloseHandle(thread);
}

EXPORT short WINAPI Release(void) {
    StartAsynchronous();
    return (short)SetEvent(released);
}

/* Keeps the handle and never answers in time. */
EXPORT void WINAPI Never(OPER12 *value, OPER12 *handle) {
    (void)value;
    StartAsynchronous();
    neverHandle = *handle;
    neverCalled = 1;
}

static void TellLateAnswer(const char *when) {
    char line[96];
    OPER12 one;
    one.xltype = T_NUM;
    one.val.num = 1;
    wsprintfA(line, "%s: xlAsyncReturn gets %d", when, AsyncReturn(&neverHandle, &one));
    Status(line);
}

EXPORT int WINAPI CalculationEnded(void) {
    Status("calculation ended");
    return 1;
}

EXPORT int WINAPI CalculationCanceled(void) {
    TellLateAnswer("calculation canceled");
    return 1;
}

EXPORT int WINAPI xlAutoClose(void) {
    if (neverCalled) TellLateAnswer("in xlAutoClose");
    return 1;
}

EXPORT double WINAPI Twice(double x) {
    return 2 * x;
}

EXPORT char *WINAPI Join(const char *c, const unsigned char *d, const WCHAR *cWide,
                         const WCHAR *dWide) {
    static char joined[600];
    size_t at = strlen(c);
    memcpy(joined, c, at);
    joined[at++] = '|';
    memcpy(joined + at, d + 1, d[0]);
    at += d[0];
    joined[at++] = '|';
    for (; *cWide && at < 590; ++cWide) joined[at++] = *cWide > 0x7F ? '?' : (char)*cWide;
    joined[at++] = '|';
    joined[at++] = (char)('0' + dWide[0] % 10);
    joined[at] = '\0';
    return joined;
}

EXPORT int WINAPI Integers(unsigned short h, short i, int j) {
    return (int)h - i + j;
}

EXPORT int *WINAPI Pointers(double *e, short *m, int *n, short *l) {
    static int sum;
    sum = (int)(*e * 1000) + *m * 100 + *n * 10 + *l;
    return &sum;
}

EXPORT double WINAPI TableSum(FP4 *table) {
    double sum = table->rows * 1000 + table->columns * 100;
    int k;
    for (k = 0; k < table->rows * table->columns; ++k) sum += (k + 1) * table->array[k];
    return sum;
}

EXPORT double WINAPI TableSum12(FP12 *table) {
    double sum = table->rows * 1000 + table->columns * 100;
    int k;
    for (k = 0; k < table->rows * table->columns; ++k) sum += (k + 1) * table->array[k];
    return sum;
}

EXPORT void WINAPI Upper(char *buffer) {
    char *c;
    for (c = buffer; *c; ++c)
        if (*c >= 'a' && *c <= 'z') *c = (char)(*c - 32);
}

EXPORT void WINAPI Negate(WORD *rows, WORD *columns, double *numbers) {
    int k;
    for (k = 0; k < *rows * *columns; ++k) numbers[k] = -numbers[k];
}

/* A text copy in memory of the add-in's own, for Excel to hand back through xlAutoFree12. */
EXPORT OPER12 *WINAPI Owned(OPER12 *text) {
    OPER12 *copy;
    if ((text->xltype & 0xFFF) != T_STR) return NULL;
    copy = (OPER12 *)malloc(sizeof *copy);
    copy->val.str = (WCHAR *)malloc((text->val.str[0] + 1) * sizeof(WCHAR));
    memcpy(copy->val.str, text->val.str, (text->val.str[0] + 1) * sizeof(WCHAR));
    copy->xltype = T_STR | BIT_DLLFREE;
    return copy;
}

EXPORT OPER4 *WINAPI Owned4(OPER4 *text) {
    OPER4 *copy;
    if ((text->xltype & 0xFFF) != T_STR) return NULL;
    copy = (OPER4 *)malloc(sizeof *copy);
    copy->val.str = (char *)malloc((unsigned char)text->val.str[0] + 1);
    memcpy(copy->val.str, text->val.str, (unsigned char)text->val.str[0] + 1);
    copy->xltype = T_STR | BIT_DLLFREE;
    return copy;
}

EXPORT void WINAPI xlAutoFree12(OPER12 *result) {
    free(result->val.str);
    free(result);
    ++freedResults;
}

EXPORT void WINAPI xlAutoFree(OPER4 *result) {
    free(result->val.str);
    free(result);
    ++freedResults;
}

EXPORT int WINAPI FreedResults(void) {
    return freedResults;
}

/* The calling cell and the sheet's name: "A3 of [Book1]Sheet1", built in a static record. */
EXPORT OPER12 *WINAPI Where(void) {
    static OPER12 result;
    static WCHAR text[64];
    OPER12 caller, sheet, name;
    OPER12 *args[1];
    char line[64];
    int length, i;
    if (Excel12v(FN_CALLER, &caller, 0, args) != 0 || caller.xltype != T_SREF) return NULL;
    if (Excel12v(FN_SHEETID, &sheet, 0, args) != 0) return NULL;
    args[0] = &sheet;
    if (Excel12v(FN_SHEETNM, &name, 1, args) != 0) return NULL;
    length = wsprintfA(line, "A%d of ", caller.val.sref.ref.rwFirst + 1);
    for (i = 0; i < name.val.str[0] && length < 60; ++i) line[length++] = (char)name.val.str[i + 1];
    args[0] = &name;
    Excel12v(FN_FREE, NULL, 1, args);
    text[0] = (WCHAR)length;
    for (i = 0; i < length; ++i) text[i + 1] = (WCHAR)line[i];
    result.val.str = text;
    result.xltype = T_STR;
    return &result;
}

/* xlfEvaluate of the text; Excel's result handed back for Excel to free. */
EXPORT OPER12 *WINAPI Evaluate(OPER12 *formula) {
    static OPER12 result;
    OPER12 *args[1];
    args[0] = formula;
    if (Excel12v(FN_EVALUATE, &result, 1, args) != 0) return NULL;
    result.xltype |= BIT_XLFREE;
    return &result;
}

/* Defines a hidden name and reads it back through xlfEvaluate. */
EXPORT OPER12 *WINAPI Named(OPER12 *name, OPER12 *value) {
    static OPER12 result;
    OPER12 set;
    OPER12 *args[2];
    args[0] = name;
    args[1] = value;
    if (Excel12v(FN_SETNAME, &set, 2, args) != 0 || set.xltype != T_BOOL || !set.val.xbool)
        return NULL;
    args[0] = name;
    if (Excel12v(FN_EVALUATE, &result, 1, args) != 0) return NULL;
    result.xltype |= BIT_XLFREE;
    return &result;
}

/* TRUE when xlGetInstPtr, xlGetInst (32-bit only) and xlStack answer as documented. */
EXPORT OPER12 *WINAPI Handles(void) {
    static OPER12 result;
    OPER12 answer;
    OPER12 *args[1];
    int good = 1;
    if (Excel12v(FN_GETINSTPTR, &answer, 0, args) != 0 || answer.xltype != T_BIGDATA ||
        answer.val.bigdata.h != (HANDLE)GetModuleHandleA(NULL))
        good = 0;
    if (sizeof(void *) == 4 && (Excel12v(FN_GETINST, &answer, 0, args) != 0 ||
                                answer.val.w != (int)(DWORD_PTR)GetModuleHandleA(NULL)))
        good = 0;
    if (Excel12v(FN_STACK, &answer, 0, args) != 0 || answer.xltype != T_INT || answer.val.w <= 0)
        good = 0;
    result.xltype = T_BOOL;
    result.val.xbool = good;
    return &result;
}

/* xlSet is no function a worksheet function may call; Excel answers xlretInvXlfn. */
EXPORT int WINAPI Unplayed(void) {
    OPER12 *args[1];
    OPER12 result;
    return Excel12v(FN_SET, &result, 0, args);
}

EXPORT double WINAPI Crash(double x) {
    volatile double *nowhere = NULL;
    return *nowhere + x;
}

/* What an uncaught exception of a Microsoft C++ add-in looks like to Excel. */
EXPORT double WINAPI Throw(double x) {
    RaiseException(0xE06D7363, EXCEPTION_NONCONTINUABLE, 0, NULL);
    return x;
}

EXPORT int WINAPI Command(void) {
    return 1;
}

/* A text result of Excel 12 in a static record. */
static OPER12 *Text12(const char *text) {
    static OPER12 result;
    static WCHAR units[256];
    int length = 0;
    while (text[length] && length < 255) {
        units[length + 1] = (WCHAR)(unsigned char)text[length];
        ++length;
    }
    units[0] = (WCHAR)length;
    result.val.str = units;
    result.xltype = T_STR;
    return &result;
}

/* The sum of the numbers in a range, its cells read through xlCoerce as an array. */
EXPORT OPER12 *WINAPI SumRange(OPER12 *range) {
    static OPER12 result;
    OPER12 values, type;
    OPER12 *args[2];
    int k;
    type.xltype = T_INT;
    type.val.w = T_MULTI;
    args[0] = range;
    args[1] = &type;
    result.xltype = T_ERR;
    result.val.err = ERR_VALUE;
    if (Excel12v(FN_COERCE, &values, 2, args) != 0 || values.xltype != T_MULTI) return &result;
    result.xltype = T_NUM;
    result.val.num = 0;
    for (k = 0; k < values.val.array.rows * values.val.array.columns; ++k)
        if (values.val.array.lparray[k].xltype == T_NUM)
            result.val.num += values.val.array.lparray[k].val.num;
    args[0] = &values;
    Excel12v(FN_FREE, NULL, 1, args);
    return &result;
}

/* "R1C1:R2C2" appended to a text. */
static void AppendArea(char *text, long rowFirst, long rowLast, long columnFirst, long columnLast) {
    wsprintfA(text + strlen(text), " R%ldC%ld:R%ldC%ld", rowFirst + 1, columnFirst + 1, rowLast + 1,
              columnLast + 1);
}

/* "[Book1]Sheet2" of a sheet id, through xlSheetNm of a reference that holds only the id. */
static void AppendSheet12(char *text, DWORD_PTR sheet) {
    OPER12 id, name;
    OPER12 *args[1];
    int i, at = (int)strlen(text);
    id.xltype = T_REF;
    id.val.mref.lpmref = NULL;
    id.val.mref.idSheet = sheet;
    args[0] = &id;
    if (Excel12v(FN_SHEETNM, &name, 1, args) != 0) return;
    text[at++] = ' ';
    for (i = 0; i < name.val.str[0] && at < 200; ++i) text[at++] = (char)name.val.str[i + 1];
    text[at] = '\0';
    args[0] = &name;
    Excel12v(FN_FREE, NULL, 1, args);
}

/* How the reference arrived: "SRef R1C1:R2C2", or "Ref [Book1]Sheet2 R1C1:R10C1". */
EXPORT OPER12 *WINAPI Address(OPER12 *reference) {
    char text[256];
    int k;
    if (reference->xltype == T_SREF) {
        strcpy(text, "SRef");
        AppendArea(text, reference->val.sref.ref.rwFirst, reference->val.sref.ref.rwLast,
                   reference->val.sref.ref.colFirst, reference->val.sref.ref.colLast);
    } else if (reference->xltype == T_REF) {
        strcpy(text, "Ref");
        AppendSheet12(text, reference->val.mref.idSheet);
        for (k = 0; k < reference->val.mref.lpmref->count && k < 4; ++k) {
            REF12 *area = &reference->val.mref.lpmref->ref[k];
            AppendArea(text, area->rwFirst, area->rwLast, area->colFirst, area->colLast);
        }
    } else {
        wsprintfA(text, "type %lu", (unsigned long)reference->xltype);
    }
    return Text12(text);
}

/* The same through Excel 4 records: WORD rows and BYTE columns. */
EXPORT char *WINAPI Address4(OPER4 *reference) {
    static char text[256];
    if (reference->xltype == T_SREF) {
        strcpy(text, "SRef");
        AppendArea(text, reference->val.sref.ref.rwFirst, reference->val.sref.ref.rwLast,
                   reference->val.sref.ref.colFirst, reference->val.sref.ref.colLast);
    } else if (reference->xltype == T_REF) {
        REF4 *area = &reference->val.mref.lpmref->ref[0];
        wsprintfA(text, "Ref %lu", (unsigned long)reference->val.mref.idSheet);
        AppendArea(text, area->rwFirst, area->rwLast, area->colFirst, area->colLast);
    } else {
        wsprintfA(text, "type %u", (unsigned)reference->xltype);
    }
    return text;
}

/* The kind of each value a Q argument holds: "2x2 N S 0 B" for an array (N number, S text,
 * B boolean, E error, 0 empty cell, M missing), one letter for a single value. */
static char Kind(DWORD type) {
    switch (type) {
    case T_NUM: return 'N';
    case T_STR: return 'S';
    case T_BOOL: return 'B';
    case T_ERR: return 'E';
    case T_NIL: return '0';
    case T_MISSING: return 'M';
    default: return '?';
    }
}

EXPORT OPER12 *WINAPI Kinds(OPER12 *value) {
    char text[256];
    int k, at;
    if (value->xltype != T_MULTI) {
        text[0] = Kind(value->xltype);
        text[1] = '\0';
        return Text12(text);
    }
    at = wsprintfA(text, "%dx%d", value->val.array.rows, value->val.array.columns);
    for (k = 0; k < value->val.array.rows * value->val.array.columns && at < 250; ++k) {
        text[at++] = ' ';
        text[at++] = Kind(value->val.array.lparray[k].xltype);
    }
    text[at] = '\0';
    return Text12(text);
}

/* The reference it was given, as a result: Excel shows the cells' value. */
EXPORT OPER12 *WINAPI Itself(OPER12 *reference) {
    return reference;
}

EXPORT void WINAPI Func(OPER12 *value, OPER12 *handle) {
    (void)value;
    (void)handle;
}

EXPORT double WINAPI Sum30(double a1, double a2, double a3, double a4, double a5, double a6,
                           double a7, double a8, double a9, double a10, double a11, double a12,
                           double a13, double a14, double a15, double a16, double a17,
                           double a18, double a19, double a20, double a21, double a22,
                           double a23, double a24, double a25, double a26, double a27,
                           double a28, double a29, double a30) {
    double values[30] = {a1,  a2,  a3,  a4,  a5,  a6,  a7,  a8,  a9,  a10,
                         a11, a12, a13, a14, a15, a16, a17, a18, a19, a20,
                         a21, a22, a23, a24, a25, a26, a27, a28, a29, a30};
    double sum = 0;
    int k;
    for (k = 0; k < 30; ++k) sum += (k + 1) * values[k];
    return sum;
}
