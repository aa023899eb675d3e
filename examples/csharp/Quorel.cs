// P/Invoke declarations of the sixteen Quorel functions.
//
// Windows, 64-bit process: Quorel_64.dll. A 32-bit process (x86) needs
// Quorel_32D.dll: compile with -define:QUOREL_X86 (csc /define:QUOREL_X86).
// Mono on Linux: QuorelExample.exe.config maps Quorel_64.dll to libquorel.so.
//
// The 32-bit DLL's functions are __stdcall, so every declaration says
// StdCall; on x64 (and Linux) there is one convention and it is ignored.
// The library keeps one process-wide state without locks: call it from
// one thread at a time.
using System.Runtime.InteropServices;

namespace Quorel
{
    public static class NativeMethods
    {
#if QUOREL_X86
        public const string Library = "Quorel_32D.dll";
        // The 32-bit DLL exports this one only under its decorated name.
        const string LibVersionEntry = "_Quorel_LibVersion@8";
#else
        public const string Library = "Quorel_64.dll";
        const string LibVersionEntry = "Quorel_LibVersion";
#endif
        const CallingConvention Convention = CallingConvention.StdCall;

        // One card at a time. Results: 0 done, 1 nothing to act on;
        // Quorel_open also 2 (window not mapped). Quorel_in and Quorel_sts
        // return the register byte, so 1 is ambiguous there.
        [DllImport(Library, CallingConvention = Convention)] public static extern int Quorel_open(int index);
        [DllImport(Library, CallingConvention = Convention)] public static extern int Quorel_close();
        [DllImport(Library, CallingConvention = Convention)] public static extern int Quorel_in(int index);
        [DllImport(Library, CallingConvention = Convention)] public static extern int Quorel_out(int index, int value);
        [DllImport(Library, CallingConvention = Convention)] public static extern int Quorel_srst();
        [DllImport(Library, CallingConvention = Convention)] public static extern int Quorel_enint();
        [DllImport(Library, CallingConvention = Convention)] public static extern int Quorel_disint();
        [DllImport(Library, CallingConvention = Convention)] public static extern int Quorel_ackint();
        [DllImport(Library, CallingConvention = Convention)] public static extern int Quorel_sts();
        [DllImport(Library, CallingConvention = Convention, EntryPoint = LibVersionEntry)]
        public static extern int Quorel_LibVersion(out int major, out int minor);
        [DllImport(Library, CallingConvention = Convention)] public static extern int Quorel_setwr2wrdly(double microseconds);

        // Up to four cards, by board ID 0..3.
        [DllImport(Library, CallingConvention = Convention)] public static extern int Quorel_open2();
        [DllImport(Library, CallingConvention = Convention)] public static extern int Quorel_close2();
        [DllImport(Library, CallingConvention = Convention)] public static extern int Quorel_in2(int board, int index);
        [DllImport(Library, CallingConvention = Convention)] public static extern int Quorel_out2(int board, int index, int value);
        // ids: an int[4], filled with 1 (present) or 0 per board ID.
        [DllImport(Library, CallingConvention = Convention)] public static extern int Quorel_getvalidid2([Out] int[] ids);
    }
}
