<map version="1.0.1">
<node ID="ID_1" TEXT="level 0">
<node ID="ID_2" TEXT="level 1">
<node ID="ID_3" TEXT="level 2">
<node ID="ID_4" TEXT="level 3">
<node ID="ID_5" TEXT="level 4">
<node ID="ID_6" TEXT="level 5">
<node ID="ID_7" TEXT="level 6">
<node ID="ID_8" TEXT="level 7">
<node ID="ID_9" TEXT="level 8">
<node ID="ID_10" TEXT="level 9">
<node ID="ID_11" TEXT="level 10">
<node ID="ID_12" TEXT="level 11">
<node ID="ID_13" TEXT="level 12">
<node ID="ID_14" TEXT="level 13">
<node ID="ID_15" TEXT="level 14">
<node ID="ID_16" TEXT="level 15">
<node ID="ID_17" TEXT="level 16">
<node ID="ID_18" TEXT="level 17">
<node ID="ID_19" TEXT="level 18">
<node ID="ID_20" TEXT="level 19">
<node ID="ID_21" TEXT="level 20">
<node ID="ID_22" TEXT="level 21">
<node ID="ID_23" TEXT="level 22">
<node ID="ID_24" TEXT="level 23">
<node ID="ID_25" TEXT="level 24">
<node ID="ID_26" TEXT="level 25">
<node ID="ID_27" TEXT="level 26">
<node ID="ID_28" TEXT="level 27">
<node ID="ID_29" TEXT="level 28">
<node ID="ID_30" TEXT="level 29">
<node ID="ID_31" TEXT="level 30">
<node ID="ID_32" TEXT="level 31">
<node ID="ID_33" TEXT="level 32">
<node ID="ID_34" TEXT="level 33">
<node ID="ID_35" TEXT="level 34">
<node ID="ID_36" TEXT="level 35">
<node ID="ID_37" TEXT="level 36">
<node ID="ID_38" TEXT="level 37">
<node ID="ID_39" TEXT="level 38">
<node ID="ID_40" TEXT="level 39">
<node ID="ID_41" TEXT="level 40">
<node ID="ID_42" TEXT="level 41">
<node ID="ID_43" TEXT="level 42">
<node ID="ID_44" TEXT="level 43">
<node ID="ID_45" TEXT="level 44">
<node ID="ID_46" TEXT="level 45">
<node ID="ID_47" TEXT="level 46">
<node ID="ID_48" TEXT="level 47">
<node ID="ID_49" TEXT="level 48">
<node ID="ID_50" TEXT="level 49">
<node ID="ID_51" TEXT="level 50">
<node ID="ID_52" TEXT="level 51">
<node ID="ID_53" TEXT="level 52">
<node ID="ID_54" TEXT="level 53">
<node ID="ID_55" TEXT="level 54">
<node ID="ID_56" TEXT="level 55">
<node ID="ID_57" TEXT="level 56">
<node ID="ID_58" TEXT="level 57">
<node ID="ID_59" TEXT="level 58">
<node ID="ID_60" TEXT="level 59">
<node ID="ID_61" TEXT="level 60">
<node ID="ID_62" TEXT="level 61">
<node ID="ID_63" TEXT="level 62">
<node ID="ID_64" TEXT="level 63">
<node ID="ID_65" TEXT="level 64">
<node ID="ID_66" TEXT="level 65">
<node ID="ID_67" TEXT="level 66">
<node ID="ID_68" TEXT="level 67">
<node ID="ID_69" TEXT="level 68">
<node ID="ID_70" TEXT="level 69">
<node ID="ID_71" TEXT="level 70">
<node ID="ID_72" TEXT="level 71">
<node ID="ID_73" TEXT="level 72">
<node ID="ID_74" TEXT="level 73">
<node ID="ID_75" TEXT="level 74">
<node ID="ID_76" TEXT="level 75">
<node ID="ID_77" TEXT="level 76">
<node ID="ID_78" TEXT="level 77">
<node ID="ID_79" TEXT="level 78">
<node ID="ID_80" TEXT="level 79">
<node ID="ID_81" TEXT="level 80">
<node ID="ID_82" TEXT="level 81">
<node ID="ID_83" TEXT="level 82">
<node ID="ID_84" TEXT="level 83">
<node ID="ID_85" TEXT="level 84">
<node ID="ID_86" TEXT="level 85">
<node ID="ID_87" TEXT="level 86">
<node ID="ID_88" TEXT="level 87">
<node ID="ID_89" TEXT="level 88">
<node ID="ID_90" TEXT="level 89">
<node ID="ID_91" TEXT="level 90">
<node ID="ID_92" TEXT="level 91">
<node ID="ID_93" TEXT="level 92">
<node ID="ID_94" TEXT="level 93">
<node ID="ID_95" TEXT="level 94">
<node ID="ID_96" TEXT="level 95">
<node ID="ID_97" TEXT="level 96">
<node ID="ID_98" TEXT="level 97">
<node ID="ID_99" TEXT="level 98">
<node ID="ID_100" TEXT="level 99">
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</node>
</map>
