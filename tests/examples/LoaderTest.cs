// The C# wrapper's choice of DLL and its errors, with the pointer size and
// the files faked in a folder of its own; and its 32-bit entry points
// against the 32-bit DLL's exports; files cut short; the arguments refused.
// Usage: LoaderTest.exe quorel32.exports libquorel.so
using System;
using System.IO;
using System.Linq;
using System.Reflection;
using System.Runtime.InteropServices;
using Quorel;

static class LoaderTest
{
    const ushort X86 = 0x014C, X64 = 0x8664, NotPe = 0;

    // A DLL whole as far as its headers go: one section, its raw data at 0x200..0x400.
    static byte[] Dll(ushort machine)
    {
        byte[] image = new byte[0x400];
        image[0] = (byte)'M'; image[1] = (byte)'Z'; image[0x3C] = 0x80;
        image[0x80] = (byte)'P'; image[0x81] = (byte)'E';
        BitConverter.GetBytes(machine).CopyTo(image, 0x84);
        image[0x86] = 1; image[0x94] = 0xF0;  // one section; SizeOfOptionalHeader
        BitConverter.GetBytes(0x2000).CopyTo(image, 0x98 + 56);  // SizeOfImage
        BitConverter.GetBytes(0x200).CopyTo(image, 0x98 + 60);  // SizeOfHeaders
        int[] section = { 0x100, 0x1000, 0x200, 0x200 };  // virtual size and address, raw size and offset
        for (int i = 0; i < section.Length; ++i)
            BitConverter.GetBytes(section[i]).CopyTo(image, 0x190 + 4 * i);
        return image;
    }

    static void Fake(string root, string file, ushort machine)
    {
        string path = Path.Combine(root, file);
        Directory.CreateDirectory(Path.GetDirectoryName(path));
        File.WriteAllBytes(path, machine == NotPe ? new byte[0x90] : Dll(machine));
    }

    struct Case
    {
        public string Name; public int Bits; public string[] Files; public ushort[] Machines; public string Expect;
        public Case(string name, int bits, string[] files, ushort[] machines, string expect)
        { Name = name; Bits = bits; Files = files; Machines = machines; Expect = expect; }
    }

    static readonly char S = Path.DirectorySeparatorChar;
    static readonly Case[] Cases = {
        new Case("64-bit: x64 subfolder", 64, new[] { "x64/Quorel_64.dll", "x86/Quorel_32D.dll" }, new[] { X64, X86 }, "found x64/Quorel_64.dll"),
        new Case("32-bit (Prefer 32-bit): x86 subfolder", 32, new[] { "x64/Quorel_64.dll", "x86/Quorel_32D.dll" }, new[] { X64, X86 }, "found x86/Quorel_32D.dll"),
        new Case("64-bit: SDK runtimes folder", 64, new[] { "runtimes/win-x64/native/Quorel_64.dll" }, new[] { X64 }, "found runtimes/win-x64/native/Quorel_64.dll"),
        new Case("64-bit: beside the program", 64, new[] { "Quorel_64.dll" }, new[] { X64 }, "found Quorel_64.dll"),
        new Case("32-bit, only the 64-bit DLL", 32, new[] { "Quorel_64.dll" }, new[] { X64 },
            "Quorel_32D.dll not found; folders tried: {0}x86; {0}runtimes/win-x86/native; {0} ({0}Quorel_64.dll is there, but it is the 64-bit DLL and this process is 32-bit"),
        new Case("a 32-bit DLL under the 64-bit name", 64, new[] { "x64/Quorel_64.dll" }, new[] { X86 },
            "{0}x64/Quorel_64.dll is a 32-bit Windows DLL (x86), but this process is 64-bit"),
        new Case("not a DLL", 64, new[] { "Quorel_64.dll" }, new[] { NotPe }, "{0}Quorel_64.dll is not a Windows DLL"),
        new Case("nothing there", 64, new string[0], new ushort[0], "Quorel_64.dll not found; folders tried: {0}x64; {0}runtimes/win-x64/native; {0}"),
    };

    static string Choose(string root, int bits)
    {
        try { return "found " + Loader.FindLibrary(root, bits).Substring(root.Length); }
        catch (QuorelLoadException e) { return e.Message; }
    }

    static int failures;

    static void Expect(bool ok, string what, string got)
    {
        if (!ok) { ++failures; Console.WriteLine("FAIL {0}: {1}", what, got); }
    }

    static string TempFolder() { return Path.Combine(Path.GetTempPath(), "quorel-loader-" + Guid.NewGuid().ToString("N")) + S; }

    // Files cut short, refused before anything loads them (a cut libquorel.so
    // would kill mono with SIGBUS at the first call).
    static void CheckCuts(string sharedObject)
    {
        byte[] so = File.ReadAllBytes(sharedObject), dll = Dll(X64);
        var cuts = new[] { 64, 200, 1000, 5000, 20000, 100000, so.Length - 1 }.Select(n => Tuple.Create("libquorel.so", so, n))
            .Concat(new[] { 0x30, 0x84, 0x150, 0x3FF }.Select(n => Tuple.Create("Quorel_64.dll", dll, n)));
        foreach (var cut in cuts)
        {
            string root = TempFolder(), got = "loaded";
            Directory.CreateDirectory(root);
            File.WriteAllBytes(root + cut.Item1, cut.Item2.Take(cut.Item3).ToArray());
            try
            {
                if (cut.Item1 == Loader.SharedObjectName) Loader.CheckSharedObject(new[] { root });
                else Loader.FindLibrary(root, 64);
            }
            catch (QuorelLoadException e) { got = e.Message; }
            finally { Directory.Delete(root, true); }
            Expect(got.StartsWith(root + cut.Item1 + " is truncated or damaged: "), cut.Item1 + " cut to " + cut.Item3, got);
        }
    }

    const string Reg = "REG must be 0 to 254 (255 is the control/status register)";
    // What the tool refuses, refused before any call: (call, argument, value, words).
    static readonly Tuple<Action, string, int, string>[] Refused = {
        Tuple.Create<Action, string, int, string>(() => NativeMethods.Quorel_in(255), "index", 255, Reg),
        Tuple.Create<Action, string, int, string>(() => NativeMethods.Quorel_out(261, 1), "index", 261, Reg),
        Tuple.Create<Action, string, int, string>(() => NativeMethods.Quorel_out(5, 0x1A7), "value", 0x1A7, "VALUE must be 0 to 255"),
        Tuple.Create<Action, string, int, string>(() => NativeMethods.Quorel_out(5, -1), "value", -1, "VALUE must be 0 to 255"),
        Tuple.Create<Action, string, int, string>(() => NativeMethods.Quorel_in2(4, 6), "board", 4, "board ID must be 0 to 3"),
        Tuple.Create<Action, string, int, string>(() => NativeMethods.Quorel_out2(-1, 5, 1), "board", -1, "board ID must be 0 to 3"),
        Tuple.Create<Action, string, int, string>(() => NativeMethods.Quorel_out2(1, 255, 1), "index", 255, Reg),
        Tuple.Create<Action, string, int, string>(() => NativeMethods.Quorel_out2(1, 5, 256), "value", 256, "VALUE must be 0 to 255"),
    };

    static void CheckRefusals()
    {
        foreach (var refused in Refused)
        {
            try { refused.Item1(); Expect(false, refused.Item2 + " " + refused.Item3, "not refused"); }
            catch (ArgumentOutOfRangeException e)
            {
                Expect(e.ParamName == refused.Item2 && (int)e.ActualValue == refused.Item3 && e.Message.StartsWith(refused.Item4),
                       refused.Item2 + " " + refused.Item3, e.Message);
            }
            catch (Exception e) { Expect(false, refused.Item2 + " " + refused.Item3, e.GetType() + ": " + e.Message); }
        }
        try { NativeMethods.Quorel_getvalidid2(new int[2]); Expect(false, "ids of 2", "not refused"); }
        catch (ArgumentException e) { Expect(e.ParamName == "ids", "ids of 2", e.Message); }
    }

    static int Main(string[] args)
    {
        foreach (Case c in Cases)
        {
            string root = Path.Combine(Path.GetTempPath(), "quorel-loader-" + Guid.NewGuid().ToString("N")) + S;
            try
            {
                Directory.CreateDirectory(root);
                for (int i = 0; i < c.Files.Length; ++i)
                    Fake(root, c.Files[i], c.Machines[i]);
                string got = Choose(root, c.Bits), want = string.Format(c.Expect, root).Replace('/', S);
                if (!got.StartsWith(want)) { ++failures; Console.WriteLine("FAIL {0}:\n  got  {1}\n  want {2}", c.Name, got, want); }
            }
            finally { Directory.Delete(root, true); }
        }
        string missing = Loader.LoadFailure("q/Quorel_64.dll", "Ulvexa64.dll", null, new[] { "q", "app" }, 126).Message;
        if (!missing.StartsWith("q/Quorel_64.dll could not be loaded: its driver-access library Ulvexa64.dll was not found; folders tried: q; app."))
        { ++failures; Console.WriteLine("FAIL driver missing: " + missing); }

        // Every 32-bit declaration binds a decorated name the DLL exports.
        var entries = typeof(NativeMethods).Assembly.GetType("Quorel.X86")
            .GetMethods(BindingFlags.Static | BindingFlags.Public)
            .Select(m => m.GetCustomAttributes(typeof(DllImportAttribute), false).Cast<DllImportAttribute>().Single().EntryPoint);
        var exported = File.ReadAllLines(args[0]).Where(n => n.StartsWith("_"));
        if (!entries.OrderBy(n => n).SequenceEqual(exported.OrderBy(n => n)))
        { ++failures; Console.WriteLine("FAIL x86 entry points: " + string.Join(" ", entries.Except(exported))); }

        CheckCuts(args[1]);
        CheckRefusals();
        Console.WriteLine("{0} cases, {1} failed", Cases.Length + 2 + 11 + Refused.Length + 1, failures);
        return failures == 0 ? 0 : 1;
    }
}
