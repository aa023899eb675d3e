// The sixteen Quorel functions for C#, in 32-bit and 64-bit processes alike:
// the first call loads Quorel_64.dll or Quorel_32D.dll by the process's
// bitness (Loader.cs says from where) and every call goes to that DLL.
//
// Results: 0 done, 1 nothing to act on; Quorel_open also 2 (window not
// mapped). Quorel_in, Quorel_in2 and Quorel_sts return the register byte,
// so 1 is ambiguous there. The library keeps one process-wide state without
// locks: call it from one thread at a time.
namespace Quorel
{
    public static class NativeMethods
    {
        static bool Is64 { get { Loader.EnsureLoaded(); return Loader.ProcessBits == 64; } }

        /// <summary>The DLL this process uses: Quorel_64.dll or Quorel_32D.dll.</summary>
        public static string Library { get { return Loader.LibraryName(Loader.ProcessBits); } }

        /// <summary>Loads the DLL now, its driver-access library (Ulvexa64.dll or
        /// Ulvexa32.dll) from driverDirectory if not null; otherwise the first call
        /// loads it, looking for the driver beside it, in the program's folder,
        /// System32 and on PATH. Throws QuorelLoadException saying what is wrong.</summary>
        public static void Load(string driverDirectory) { Loader.Load(driverDirectory); }

        public static int Quorel_open(int index) { return Is64 ? X64.Quorel_open(index) : X86.Quorel_open(index); }
        public static int Quorel_close() { return Is64 ? X64.Quorel_close() : X86.Quorel_close(); }
        public static int Quorel_in(int index) { return Is64 ? X64.Quorel_in(index) : X86.Quorel_in(index); }
        public static int Quorel_out(int index, int value) { return Is64 ? X64.Quorel_out(index, value) : X86.Quorel_out(index, value); }
        public static int Quorel_srst() { return Is64 ? X64.Quorel_srst() : X86.Quorel_srst(); }
        public static int Quorel_enint() { return Is64 ? X64.Quorel_enint() : X86.Quorel_enint(); }
        public static int Quorel_disint() { return Is64 ? X64.Quorel_disint() : X86.Quorel_disint(); }
        public static int Quorel_ackint() { return Is64 ? X64.Quorel_ackint() : X86.Quorel_ackint(); }
        public static int Quorel_sts() { return Is64 ? X64.Quorel_sts() : X86.Quorel_sts(); }
        public static int Quorel_LibVersion(out int major, out int minor)
        {
            return Is64 ? X64.Quorel_LibVersion(out major, out minor) : X86.Quorel_LibVersion(out major, out minor);
        }
        public static int Quorel_setwr2wrdly(double microseconds)
        {
            return Is64 ? X64.Quorel_setwr2wrdly(microseconds) : X86.Quorel_setwr2wrdly(microseconds);
        }

        // Up to four cards, by board ID 0..3.
        public static int Quorel_open2() { return Is64 ? X64.Quorel_open2() : X86.Quorel_open2(); }
        public static int Quorel_close2() { return Is64 ? X64.Quorel_close2() : X86.Quorel_close2(); }
        public static int Quorel_in2(int board, int index) { return Is64 ? X64.Quorel_in2(board, index) : X86.Quorel_in2(board, index); }
        public static int Quorel_out2(int board, int index, int value)
        {
            return Is64 ? X64.Quorel_out2(board, index, value) : X86.Quorel_out2(board, index, value);
        }
        // ids: an int[4], filled with 1 (present) or 0 per board ID.
        public static int Quorel_getvalidid2(int[] ids) { return Is64 ? X64.Quorel_getvalidid2(ids) : X86.Quorel_getvalidid2(ids); }
    }
}
