// The sixteen Quorel functions for C#, in 32-bit and 64-bit processes alike:
// the first call loads Quorel_64.dll or Quorel_32D.dll by the process's
// bitness (Loader.cs says from where) and every call goes to that DLL.
//
// Results: Success, NothingToActOn; Quorel_open also MapFailed (window not
// mapped). Quorel_in, Quorel_in2 and Quorel_sts return the register byte,
// so 1 is ambiguous there. The library keeps one process-wide state without
// locks: call it from one thread at a time.
//
// Arguments the quorel tool refuses are refused here too, in its words,
// before any call: a register index outside 0..254, a value outside 0..255,
// a board ID outside 0..3 (ArgumentOutOfRangeException). The library would
// count an index or value by its low 8 bits, reaching another register, and
// answer register 255 or a board outside 0..3 with a 1 that a read returns
// as if the register held it.
using System;

namespace Quorel
{
    public static class NativeMethods
    {
        /// <summary>The functions' results, named as in quorel.h (QUOREL_SUCCESS and so on).</summary>
        public const int Success = 0;
        /// <summary>No card there, none open, an empty board slot, register 255, a null array.</summary>
        public const int NothingToActOn = 1;
        /// <summary>Quorel_open only: the card's register window could not be mapped.</summary>
        public const int MapFailed = 2;

        const int BoardCount = 4;

        static void InRange(int number, int high, string name, string words)
        {
            if (number < 0 || number > high)
                throw new ArgumentOutOfRangeException(name, number, words);
        }

        static void Register(int index) { InRange(index, 254, "index", "REG must be 0 to 254 (255 is the control/status register)"); }
        static void Value(int value) { InRange(value, 255, "value", "VALUE must be 0 to 255"); }
        static void Board(int board) { InRange(board, BoardCount - 1, "board", "board ID must be 0 to 3"); }

        /// <summary>The DLL this process uses: Quorel_64.dll or Quorel_32D.dll.</summary>
        public static string Library { get { return Loader.LibraryName(Loader.ProcessBits); } }

        /// <summary>Loads the DLL now, its driver-access library (Ulvexa64.dll or
        /// Ulvexa32.dll) from driverDirectory if not null; otherwise the first call
        /// loads it, looking for the driver beside it, in the program's folder,
        /// System32 and on PATH. Throws QuorelLoadException saying what is wrong.</summary>
        public static void Load(string driverDirectory) { Loader.Load(driverDirectory); }

        // Each loads the library (or checks it, under mono) before ByBitness
        // is compiled: see there.
        public static int Quorel_open(int index) { Loader.EnsureLoaded(); return ByBitness.Quorel_open(index); }
        public static int Quorel_close() { Loader.EnsureLoaded(); return ByBitness.Quorel_close(); }
        public static int Quorel_in(int index)
        {
            Register(index);
            Loader.EnsureLoaded();
            return ByBitness.Quorel_in(index);
        }
        public static int Quorel_out(int index, int value)
        {
            Register(index);
            Value(value);
            Loader.EnsureLoaded();
            return ByBitness.Quorel_out(index, value);
        }
        public static int Quorel_srst() { Loader.EnsureLoaded(); return ByBitness.Quorel_srst(); }
        public static int Quorel_enint() { Loader.EnsureLoaded(); return ByBitness.Quorel_enint(); }
        public static int Quorel_disint() { Loader.EnsureLoaded(); return ByBitness.Quorel_disint(); }
        public static int Quorel_ackint() { Loader.EnsureLoaded(); return ByBitness.Quorel_ackint(); }
        public static int Quorel_sts() { Loader.EnsureLoaded(); return ByBitness.Quorel_sts(); }
        public static int Quorel_LibVersion(out int major, out int minor)
        {
            Loader.EnsureLoaded();
            return ByBitness.Quorel_LibVersion(out major, out minor);
        }
        public static int Quorel_setwr2wrdly(double microseconds)
        {
            // An infinite pause would make every later write spin for ever.
            if (double.IsPositiveInfinity(microseconds))
                throw new ArgumentOutOfRangeException("microseconds", microseconds,
                    "the pause must be finite (0 turns it off)");
            Loader.EnsureLoaded();
            return ByBitness.Quorel_setwr2wrdly(microseconds);
        }

        // Up to four cards, by board ID 0..3.
        public static int Quorel_open2() { Loader.EnsureLoaded(); return ByBitness.Quorel_open2(); }
        public static int Quorel_close2() { Loader.EnsureLoaded(); return ByBitness.Quorel_close2(); }
        public static int Quorel_in2(int board, int index)
        {
            Board(board);
            Register(index);
            Loader.EnsureLoaded();
            return ByBitness.Quorel_in2(board, index);
        }
        public static int Quorel_out2(int board, int index, int value)
        {
            Board(board);
            Register(index);
            Value(value);
            Loader.EnsureLoaded();
            return ByBitness.Quorel_out2(board, index, value);
        }
        // ids: an int[4], filled with 1 (present) or 0 per board ID; a shorter
        // array is refused, as the library writes four ints.
        public static int Quorel_getvalidid2(int[] ids)
        {
            if (ids != null && ids.Length < BoardCount)
                throw new ArgumentException("ids must hold 4 ints, one per board ID 0 to 3; it holds " + ids.Length, "ids");
            Loader.EnsureLoaded();
            return ByBitness.Quorel_getvalidid2(ids);
        }
    }
}
