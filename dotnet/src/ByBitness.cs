// Each function once, calling the declaration of the process's bitness.
// None of these is compiled before NativeMethods has loaded (or, under mono,
// checked) the library: mono resolves a P/Invoke when it compiles a method
// that calls one, before that method can run any check, and a libquorel.so
// cut short kills the process there. Hence NoInlining, and nothing here but
// the calls.
using System.Runtime.CompilerServices;

namespace Quorel
{
    static class ByBitness
    {
        static bool Is64 { get { return Loader.ProcessBits == 64; } }

        [MethodImpl(MethodImplOptions.NoInlining)]
        public static int Quorel_open(int index) { return Is64 ? X64.Quorel_open(index) : X86.Quorel_open(index); }
        [MethodImpl(MethodImplOptions.NoInlining)]
        public static int Quorel_close() { return Is64 ? X64.Quorel_close() : X86.Quorel_close(); }
        [MethodImpl(MethodImplOptions.NoInlining)]
        public static int Quorel_in(int index) { return Is64 ? X64.Quorel_in(index) : X86.Quorel_in(index); }
        [MethodImpl(MethodImplOptions.NoInlining)]
        public static int Quorel_out(int index, int value) { return Is64 ? X64.Quorel_out(index, value) : X86.Quorel_out(index, value); }
        [MethodImpl(MethodImplOptions.NoInlining)]
        public static int Quorel_srst() { return Is64 ? X64.Quorel_srst() : X86.Quorel_srst(); }
        [MethodImpl(MethodImplOptions.NoInlining)]
        public static int Quorel_enint() { return Is64 ? X64.Quorel_enint() : X86.Quorel_enint(); }
        [MethodImpl(MethodImplOptions.NoInlining)]
        public static int Quorel_disint() { return Is64 ? X64.Quorel_disint() : X86.Quorel_disint(); }
        [MethodImpl(MethodImplOptions.NoInlining)]
        public static int Quorel_ackint() { return Is64 ? X64.Quorel_ackint() : X86.Quorel_ackint(); }
        [MethodImpl(MethodImplOptions.NoInlining)]
        public static int Quorel_sts() { return Is64 ? X64.Quorel_sts() : X86.Quorel_sts(); }
        [MethodImpl(MethodImplOptions.NoInlining)]
        public static int Quorel_LibVersion(out int major, out int minor) { return Is64 ? X64.Quorel_LibVersion(out major, out minor) : X86.Quorel_LibVersion(out major, out minor); }
        [MethodImpl(MethodImplOptions.NoInlining)]
        public static int Quorel_setwr2wrdly(double microseconds) { return Is64 ? X64.Quorel_setwr2wrdly(microseconds) : X86.Quorel_setwr2wrdly(microseconds); }
        [MethodImpl(MethodImplOptions.NoInlining)]
        public static int Quorel_open2() { return Is64 ? X64.Quorel_open2() : X86.Quorel_open2(); }
        [MethodImpl(MethodImplOptions.NoInlining)]
        public static int Quorel_close2() { return Is64 ? X64.Quorel_close2() : X86.Quorel_close2(); }
        [MethodImpl(MethodImplOptions.NoInlining)]
        public static int Quorel_in2(int board, int index) { return Is64 ? X64.Quorel_in2(board, index) : X86.Quorel_in2(board, index); }
        [MethodImpl(MethodImplOptions.NoInlining)]
        public static int Quorel_out2(int board, int index, int value) { return Is64 ? X64.Quorel_out2(board, index, value) : X86.Quorel_out2(board, index, value); }
        [MethodImpl(MethodImplOptions.NoInlining)]
        public static int Quorel_getvalidid2(int[] ids) { return Is64 ? X64.Quorel_getvalidid2(ids) : X86.Quorel_getvalidid2(ids); }
    }
}
