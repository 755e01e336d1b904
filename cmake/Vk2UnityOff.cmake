# Test executables whose files are compiled one by one rather than in batches (see
# vk2_add_tests): names local to one of their files clash with those of another, or two headers
# they include together define the same names.
set(VK2_UNITY_OFF
  vk2_canvas_tests
  vk2_component_tests
  vk2_core_data_tests
  vk2_effects_tests
  vk2_foundation_tests
  vk2_markup_tests
  vk2_oru_network_e2e_tests
  vk2_platform_audio_e2e_tests
  vk2_platform_audio_tests
  vk2_platform_stress_tests
  vk2_platform_tests
)
